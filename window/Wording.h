#pragma once
// Every text a user can see, German and English side by side (UTF-8). The window is built with the
// German column; SwitchToEnglish applies the English one. Messages pick a column by the English flag.

#include <array>
#include <optional>
#include <string_view>

#include "window/Controls.h"

namespace brindle {

struct ControlText {
  ControlId id;
  std::string_view german;
  std::string_view english;
};

inline constexpr std::array<ControlText, 10> kControlTexts{{
    {ControlId::Label2, "Wichtige Hinweise für die Nutzung des Brindles:",
     "Important information for the utilization of Brindle:"},
    {ControlId::Label3, "Wird ICQ 7 mehrfach ausgeführt, werden geänderte Einstellungen nicht gespeichert.",
     "All changed settings at ICQ 7 will not be saved if multiple instances of ICQ are running."},
    {ControlId::Label4,
     "Damit die Einstellungen (Sprache, Skin, usw.) geladen werden und um weitere Probleme zu "
     "verhindern, ICQ 7 möglichst vor dem Login erneut starten.",
     "To load settings successfully (language, skin, etc.) and to avoid other problems start ICQ 7 "
     "again before logging in."},
    // Both blanks after the closing parenthesis belong to the text: do not tidy them away.
    {ControlId::Label5,
     "Ist eine Firewall aktiv (z.B. Windows Firewall)  muss ICQ 7 eventuell für jede Instanz erneut "
     "freigegeben werden.",
     "If there is a firewall enabled (e.g. Windows Firewall) you possibly have to unblock every instance "
     "of ICQ 7."},
    {ControlId::Label6,
     "Soll ICQ 7 im Kompatibilitätsmodus ausgeführt werden, muss der Brindle auch im "
     "Kompatibilitätsmodus gestartet werden.",
     "If ICQ 7 should be executed in compatibility mode you have to run the Brindle in compatibility "
     "mode too."},
    {ControlId::Label7,
     "Bitte tragen Sie unten in das Feld ein, wie viele Instanzen sie von ICQ 7 maximal gleichzeitig "
     "ausführen möchten.",
     "Please enter the maximum number of instances of ICQ 7 (at the same time) in the box below."},
    {ControlId::Label1,
     "Maximale Anzahl der erlaubten Instanzen von ICQ 7:", "Maximum number of allowed instances of ICQ 7:"},
    {ControlId::Label8, "(2 - 99)", "(2 - 99)"},
    {ControlId::Check1, "Diesen Hinweis nicht mehr anzeigen", "Do not show this message again"},
    {ControlId::Command1, "OK", "OK"},
}};

// A control's text in one language (German is the design-time text); Text1 and the dots have none here.
constexpr std::optional<std::string_view> ControlTextOf(ControlId id, bool english) {
  for (const auto& text : kControlTexts)
    if (text.id == id) return english ? text.english : text.german;
  return std::nullopt;
}

// The text a control has when the window is made: its German text, "5" in the count box, none on a dot.
constexpr std::string_view InitialTextOf(ControlId id) {
  return id == ControlId::Text1 ? kText1Initial : ControlTextOf(id, false).value_or(std::string_view{});
}

enum class MessageId { AlreadyRunning, WrongExeName, MessengerMissing, HowToSeeWindowAgain };

struct MessageText {
  MessageId id;
  std::string_view german;
  std::string_view english;
};

inline constexpr std::array<MessageText, 4> kMessages{{
    {MessageId::AlreadyRunning, "Der Brindle läuft bereits.", "Brindle is already running."},
    // No full stop in German, unlike English: each message is shown word for word, so do not add one.
    {MessageId::WrongExeName, "Falscher EXE-Name des Brindles", "Wrong EXE name of Brindle."},
    {MessageId::MessengerMissing, "Die Datei ICQ.exe konnte nicht gefunden werden! Vorgang abgebrochen.",
     "Couldn't find the file ICQ.exe! Transaction canceled."},
    {MessageId::HowToSeeWindowAgain,
     "Um dieses Fenster wieder anzeigen zu lassen, rufen Sie den Brindle mit dem Parameter '-info' auf.",
     "To see this window again start Brindle with the parameter '-info'."},
}};

inline constexpr std::string_view kErrorTitleGerman = "Fehler";
inline constexpr std::string_view kErrorTitleEnglish = "Error";
inline constexpr std::string_view kInformationTitle = "Information";

constexpr std::string_view MessageTextOf(MessageId id, bool english) {
  for (const auto& message : kMessages)
    if (message.id == id) return english ? message.english : message.german;
  return {};
}

constexpr std::string_view ErrorTitle(bool english) {
  return english ? kErrorTitleEnglish : kErrorTitleGerman;
}

}  // namespace brindle
