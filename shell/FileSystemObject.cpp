#include "shell/FileSystemObject.h"

#include <optional>

#include "shell/Com.h"

namespace brindle::win32 {
namespace {

ComPtr<IDispatch> CreateFileSystemObject() noexcept {
  ComPtr<IDispatch> object;
  CLSID classId{};
  if (FAILED(::CLSIDFromProgID(L"Scripting.FileSystemObject", &classId))) return object;
  if (FAILED(::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put())))
    object.reset();
  return object;
}

std::optional<DISPID> MethodId(IDispatch& object, const wchar_t* name) noexcept {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return std::nullopt;
  return id;
}

}  // namespace

std::optional<bool> ScriptingFileExists(const std::wstring& path) noexcept {
  const ComPtr<IDispatch> object = CreateFileSystemObject();
  if (!object) return std::nullopt;
  const std::optional<DISPID> fileExists = MethodId(*object.get(), L"FileExists");
  if (!fileExists) return std::nullopt;
  const UniqueBstr argumentText(path);
  if (!argumentText) return std::nullopt;

  VARIANTARG argument;
  ::VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = argumentText.get();  // still owned by argumentText
  DISPPARAMS parameters{};
  parameters.rgvarg = &argument;
  parameters.cArgs = 1;

  UniqueVariant result;
  if (FAILED(object->Invoke(*fileExists, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                            result.get(), nullptr, nullptr)))
    return std::nullopt;
  if ((*result).vt != VT_BOOL) return std::nullopt;
  return (*result).boolVal != VARIANT_FALSE;
}

bool FileSystemFileExists(const std::wstring& path) noexcept {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace brindle::win32
