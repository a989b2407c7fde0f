#pragma once
// Where Windows looks for the DLLs that load after the start.

namespace brindle::win32 {

// From now on, a DLL named without a path comes from System32 only, never from Tavu.exe's own
// folder or the current one. Call it first thing: the system DLLs that load later (through
// comctl32, ole32 and the scripting object) are not all "known DLLs", and Windows would look for
// them in the program's folder first. A messenger's folder such as C:\ICQ at the root of a drive
// is writable by every authenticated user, so anyone could plant a DLL there.
void RestrictDllSearchToSystem32() noexcept;

}  // namespace brindle::win32
