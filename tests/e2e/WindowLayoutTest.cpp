// The information window as the user sees it, read back from the running Tavu.exe: its frame, size
// and place on the screen, and every control's text (UTF-16, unit for unit) and rectangle, in German
// and in English. The expected values are the window's design, written out here in twips, so that a
// slip in the program's own tables shows up.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "InformationWindow.h"

namespace brindle::e2e {
namespace {

using namespace control;

constexpr int kDesignDpi = 96;
constexpr double kTwipsPerPixel = 15.0;  // at 96 dpi
constexpr double kTolerancePixels = 1.0;
constexpr PixelSize kClientSize{401, 262};  // 6015 x 3930 twips
constexpr int kLineHeight = 13;             // one line of the 8-point dialog font: 195 twips
// The layout was measured in this font; the self-sizing labels must come out the same width.
constexpr wchar_t kDesignFace[] = L"MS Sans Serif";
constexpr int kDesignPoints = 8;
// Label1's German text in that font: 3705 twips.
constexpr int kLabel1GermanWidth = 247;

enum class Sizing {
  Fixed,        // the designed size, within a pixel
  WholePixels,  // the dots: 60 twips are exactly 4 pixels, however their place is rounded
  SizesItself,  // width and height follow the text; only left and top are designed
};

struct ControlDesign {
  int id;
  const char* className;
  int left;
  int top;
  int width;
  int height;
  Sizing sizing;
};

// The design in twips, top to bottom, with Text1 and Label8 where the German window has them.
constexpr std::array<ControlDesign, 16> kDesign{{
    {kLabel2, "Static", 120, 120, 4200, 195, Sizing::SizesItself},
    {kLabel3, "Static", 360, 480, 5265, 435, Sizing::Fixed},
    {kPoint0, "Static", 240, 550, 60, 60, Sizing::WholePixels},
    {kLabel4, "Static", 360, 960, 5625, 435, Sizing::Fixed},
    {kPoint1, "Static", 240, 1030, 60, 60, Sizing::WholePixels},
    {kLabel5, "Static", 360, 1440, 5295, 435, Sizing::Fixed},
    {kPoint2, "Static", 240, 1510, 60, 60, Sizing::WholePixels},
    {kLabel6, "Static", 360, 1920, 5490, 555, Sizing::Fixed},
    {kPoint3, "Static", 240, 1990, 60, 60, Sizing::WholePixels},
    {kLabel7, "Static", 360, 2400, 5175, 495, Sizing::Fixed},
    {kPoint4, "Static", 240, 2470, 60, 60, Sizing::WholePixels},
    {kLabel1, "Static", 240, 3000, 3705, 195, Sizing::SizesItself},
    {kText1, "Edit", 4000, 2970, 615, 285, Sizing::Fixed},
    {kLabel8, "Static", 4680, 3000, 495, 195, Sizing::SizesItself},
    {kCheck1, "Button", 240, 3480, 2895, 255, Sizing::Fixed},
    {kCommand1, "Button", 4200, 3480, 1695, 375, Sizing::Fixed},
}};

// English moves the count box and its range hint 280 twips to the left.
constexpr int kText1EnglishLeft = 3720;
constexpr int kLabel8EnglishLeft = 4400;

struct ControlText {
  int id;
  const wchar_t* text;
};

// Umlauts are written as escapes so that the expected UTF-16 does not hang on the source encoding.
constexpr std::array<ControlText, 16> kGermanTexts{{
    {kLabel2, L"Wichtige Hinweise f\u00fcr die Nutzung des Brindles:"},
    {kLabel3, L"Wird ICQ 7 mehrfach ausgef\u00fchrt, werden ge\u00e4nderte Einstellungen nicht gespeichert."},
    {kLabel4,
     L"Damit die Einstellungen (Sprache, Skin, usw.) geladen werden und um weitere Probleme zu "
     L"verhindern, ICQ 7 m\u00f6glichst vor dem Login erneut starten."},
    // Two blanks after the closing parenthesis.
    {kLabel5,
     L"Ist eine Firewall aktiv (z.B. Windows Firewall)  muss ICQ 7 eventuell f\u00fcr jede Instanz "
     L"erneut freigegeben werden."},
    {kLabel6,
     L"Soll ICQ 7 im Kompatibilit\u00e4tsmodus ausgef\u00fchrt werden, muss der Brindle auch im "
     L"Kompatibilit\u00e4tsmodus gestartet werden."},
    {kLabel7,
     L"Bitte tragen Sie unten in das Feld ein, wie viele Instanzen sie von ICQ 7 maximal gleichzeitig "
     L"ausf\u00fchren m\u00f6chten."},
    {kLabel1, L"Maximale Anzahl der erlaubten Instanzen von ICQ 7:"},
    {kText1, L"5"},
    {kLabel8, L"(2 - 99)"},
    {kCheck1, L"Diesen Hinweis nicht mehr anzeigen"},
    {kCommand1, L"OK"},
    {kPoint0, L""},
    {kPoint1, L""},
    {kPoint2, L""},
    {kPoint3, L""},
    {kPoint4, L""},
}};

constexpr std::array<ControlText, 16> kEnglishTexts{{
    {kLabel2, L"Important information for the utilization of Brindle:"},
    {kLabel3, L"All changed settings at ICQ 7 will not be saved if multiple instances of ICQ are running."},
    {kLabel4,
     L"To load settings successfully (language, skin, etc.) and to avoid other problems start ICQ 7 "
     L"again before logging in."},
    {kLabel5,
     L"If there is a firewall enabled (e.g. Windows Firewall) you possibly have to unblock every "
     L"instance of ICQ 7."},
    {kLabel6,
     L"If ICQ 7 should be executed in compatibility mode you have to run the Brindle in compatibility "
     L"mode too."},
    {kLabel7, L"Please enter the maximum number of instances of ICQ 7 (at the same time) in the box below."},
    {kLabel1, L"Maximum number of allowed instances of ICQ 7:"},
    {kText1, L"5"},
    {kLabel8, L"(2 - 99)"},
    {kCheck1, L"Do not show this message again"},
    {kCommand1, L"OK"},
    {kPoint0, L""},
    {kPoint1, L""},
    {kPoint2, L""},
    {kPoint3, L""},
    {kPoint4, L""},
}};

struct LanguageLayout {
  const char* name;
  const char* arguments;
  const std::array<ControlText, 16>* texts;
  int text1Left;
  int label8Left;
};

void PrintTo(const LanguageLayout& layout, std::ostream* out) {
  *out << layout.name;
}

const wchar_t* TextOf(const LanguageLayout& layout, int id) {
  for (const ControlText& text : *layout.texts)
    if (text.id == id) return text.text;
  return L"(no text in the test's table)";
}

int LeftOf(const LanguageLayout& layout, const ControlDesign& design) {
  if (design.id == kText1) return layout.text1Left;
  if (design.id == kLabel8) return layout.label8Left;
  return design.left;
}

// For failure messages: the UTF-16 units as code points.
std::string Units(const std::wstring& text) {
  std::string units;
  for (const wchar_t unit : text) {
    if (!units.empty()) units += ' ';
    units += std::to_string(static_cast<unsigned>(unit));
  }
  return units;
}

void ExpectNear(int actualPixels, int twips, const std::string& what) {
  const double expected = twips / kTwipsPerPixel;
  EXPECT_LE(std::abs(actualPixels - expected), kTolerancePixels)
      << what << ": " << actualPixels << " px, designed " << twips << " twips = " << expected << " px";
}

bool Disjoint(const PixelRect& a, const PixelRect& b) {
  return a.left + a.width <= b.left || b.left + b.width <= a.left || a.top + a.height <= b.top ||
         b.top + b.height <= a.top;
}

std::string Describe(const PixelRect& rect) {
  return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ", " +
         std::to_string(rect.width) + " x " + std::to_string(rect.height) + ")";
}

class WindowLayoutTest : public WindowScenario, public ::testing::WithParamInterface<LanguageLayout> {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenDpi(), kDesignDpi) << "the layout's pixels are those of a 96-dpi screen";
    OpenWindow(GetParam().arguments);
  }
};

TEST_P(WindowLayoutTest, FrameIsFixedSizedAndCentred) {
  EXPECT_EQ(WideText(form()), L"Brindle v.1.2");
  const FrameStyle frame = FrameOf(form());
  EXPECT_TRUE(frame.caption) << "a caption bar with a thin border";
  EXPECT_TRUE(frame.systemMenu) << "the close button";
  EXPECT_FALSE(frame.sizingFrame) << "the user could resize the window";
  EXPECT_FALSE(frame.maximizeBox) << "the user could maximise the window";
  EXPECT_EQ(form().ClientSize(), kClientSize)
      << "client area " << form().ClientSize().width << " x " << form().ClientSize().height;

  const PixelSize screen = ScreenSize();
  const PixelRect outer = form().ScreenRect();
  EXPECT_LE(std::abs(outer.left - (screen.width - outer.width) / 2.0), kTolerancePixels)
      << "window " << Describe(outer) << " on a screen of " << screen.width << " x " << screen.height;
  EXPECT_LE(std::abs(outer.top - (screen.height - outer.height) / 2.0), kTolerancePixels)
      << "window " << Describe(outer) << " on a screen of " << screen.width << " x " << screen.height;
}

TEST_P(WindowLayoutTest, EveryControlShowsItsTextAtItsPlace) {
  std::set<int> ids;
  for (const Window& child : form().Children()) ids.insert(child.ControlId());
  std::set<int> designed;
  for (const ControlDesign& design : kDesign) designed.insert(design.id);
  EXPECT_EQ(ids, designed) << "the window's controls by id";

  for (const ControlDesign& design : kDesign) {
    const std::string name = ControlName(design.id);
    SCOPED_TRACE(name);
    const std::optional<Window> control = Control(design.id);
    if (!control) continue;
    EXPECT_EQ(control->ClassName(), design.className);
    const std::wstring text = WideText(*control);
    const std::wstring expected = TextOf(GetParam(), design.id);
    EXPECT_EQ(text, expected) << "UTF-16 units: " << Units(text)
                              << "\n           expected: " << Units(expected);

    const PixelRect rect = control->RectInParent();
    ExpectNear(rect.left, LeftOf(GetParam(), design), name + " left");
    ExpectNear(rect.top, design.top, name + " top");
    if (design.sizing == Sizing::SizesItself) continue;
    if (design.sizing == Sizing::WholePixels) {
      EXPECT_EQ((PixelSize{rect.width, rect.height}),
                (PixelSize{static_cast<int>(design.width / kTwipsPerPixel),
                           static_cast<int>(design.height / kTwipsPerPixel)}))
          << name << " is " << rect.width << " x " << rect.height << " px";
      continue;
    }
    ExpectNear(rect.width, design.width, name + " width");
    ExpectNear(rect.height, design.height, name + " height");
  }
}

// Label1, Label2 and Label8 take the size of their text on one line, in the font the layout was
// drawn for.
TEST_P(WindowLayoutTest, SelfSizingLabelsFitTheirTextInTheDesignFont) {
  for (const int id : {kLabel1, kLabel2, kLabel8}) {
    SCOPED_TRACE(ControlName(id));
    const std::optional<Window> label = Control(id);
    if (!label) continue;
    const std::optional<TextMeasurement> measured =
        MeasureText(TextOf(GetParam(), id), kDesignFace, kDesignPoints);
    ASSERT_TRUE(measured) << "could not measure the text";
    EXPECT_EQ(measured->face, "MS Sans Serif") << "the test's own measurement fell back to another font";
    const PixelRect rect = label->RectInParent();
    EXPECT_LE(std::abs(rect.width - measured->width), kTolerancePixels)
        << "width " << rect.width << " px, the text measures " << measured->width << " px";
    EXPECT_LE(std::abs(rect.height - kLineHeight), kTolerancePixels) << "height " << rect.height << " px";
  }
}

// The hints wrap at word boundaries inside their fixed size; what does not fit would not be shown.
TEST_P(WindowLayoutTest, HintsWrapInsideTheirLabels) {
  for (const int id : {kLabel3, kLabel4, kLabel5, kLabel6, kLabel7}) {
    SCOPED_TRACE(ControlName(id));
    const std::optional<Window> label = Control(id);
    if (!label) continue;
    const PixelRect rect = label->RectInParent();
    const std::optional<TextMeasurement> wrapped =
        MeasureWrappedText(TextOf(GetParam(), id), kDesignFace, kDesignPoints, rect.width);
    ASSERT_TRUE(wrapped) << "could not measure the text";
    EXPECT_LE(wrapped->width, rect.width);
    EXPECT_LE(wrapped->height, rect.height)
        << "the text takes " << wrapped->height / kLineHeight << " lines of " << kLineHeight
        << " px, the label is " << rect.height << " px high: the last line is cut off";
  }
}

// The one pair of rectangles that overlap in the design itself: Label6 (Top 1920, Height 555 twips)
// reaches 75 twips into Label7 (Top 2400). Its text is two lines in every language, so what the
// user sees must still end above Label7.
struct DesignedOverlap {
  int upper;
  int lower;
};
constexpr DesignedOverlap kDesignedOverlaps[] = {{kLabel6, kLabel7}};

const DesignedOverlap* DesignedOverlapOf(int a, int b) {
  for (const DesignedOverlap& overlap : kDesignedOverlaps) {
    if ((overlap.upper == a && overlap.lower == b) || (overlap.upper == b && overlap.lower == a)) {
      return &overlap;
    }
  }
  return nullptr;
}

TEST_P(WindowLayoutTest, NoTwoControlsOverlapAndAllFitTheWindow) {
  struct Placed {
    int id;
    std::wstring text;
    PixelRect rect;
  };
  std::vector<Placed> placed;
  for (const Window& child : form().Children()) {
    placed.push_back({child.ControlId(), WideText(child), child.RectInParent()});
  }
  ASSERT_EQ(placed.size(), kDesign.size());

  for (std::size_t i = 0; i < placed.size(); ++i) {
    const Placed& one = placed[i];
    const PixelRect& rect = one.rect;
    EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= kClientSize.width &&
                rect.top + rect.height <= kClientSize.height)
        << ControlName(one.id) << " " << Describe(rect) << " sticks out of the client area";
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      const Placed& other = placed[j];
      if (const DesignedOverlap* designed = DesignedOverlapOf(one.id, other.id)) {
        const Placed& upper = one.id == designed->upper ? one : other;
        const Placed& lower = one.id == designed->upper ? other : one;
        const std::optional<TextMeasurement> wrapped =
            MeasureWrappedText(upper.text, kDesignFace, kDesignPoints, upper.rect.width);
        ASSERT_TRUE(wrapped);
        EXPECT_LE(upper.rect.top + wrapped->height, lower.rect.top)
            << "the text of " << ControlName(upper.id) << " " << Describe(upper.rect) << " ("
            << wrapped->height << " px high) runs into " << ControlName(lower.id) << " "
            << Describe(lower.rect);
        continue;
      }
      EXPECT_TRUE(Disjoint(rect, other.rect)) << ControlName(one.id) << " " << Describe(rect) << " overlaps "
                                              << ControlName(other.id) << " " << Describe(other.rect);
    }
  }

  const std::optional<Window> label1 = Control(kLabel1);
  const std::optional<Window> text1 = Control(kText1);
  ASSERT_TRUE(label1 && text1);
  const PixelRect caption = label1->RectInParent();
  const PixelRect box = text1->RectInParent();
  EXPECT_LT(caption.left + caption.width, box.left)
      << "Label1 " << Describe(caption) << " must end left of the count box " << Describe(box);
}

INSTANTIATE_TEST_SUITE_P(Language, WindowLayoutTest,
                         ::testing::Values(LanguageLayout{"German", "-german", &kGermanTexts, 4000, 4680},
                                           LanguageLayout{"English", "-english", &kEnglishTexts,
                                                          kText1EnglishLeft, kLabel8EnglishLeft}),
                         [](const ::testing::TestParamInfo<LanguageLayout>& info) {
                           return std::string(info.param.name);
                         });

// The width the layout was drawn around: Label1's German text in MS Sans Serif 8 pt, both as the
// window shows it and as this prefix's font measures it.
class Label1WidthTest : public WindowScenario {};

TEST_F(Label1WidthTest, GermanCaptionOfTheCountBoxIs247Pixels) {
  ASSERT_EQ(ScreenDpi(), kDesignDpi);
  const std::optional<TextMeasurement> measured =
      MeasureText(L"Maximale Anzahl der erlaubten Instanzen von ICQ 7:", kDesignFace, kDesignPoints);
  ASSERT_TRUE(measured);
  EXPECT_EQ(measured->face, "MS Sans Serif");
  EXPECT_LE(std::abs(measured->width - kLabel1GermanWidth), 1) << "measured " << measured->width << " px";

  OpenWindow("-german");
  ASSERT_FALSE(HasFatalFailure());
  const std::optional<Window> label1 = Control(kLabel1);
  ASSERT_TRUE(label1);
  const int width = label1->RectInParent().width;
  EXPECT_LE(std::abs(width - kLabel1GermanWidth), 1) << "Label1 is " << width << " px wide";
}

}  // namespace
}  // namespace brindle::e2e
