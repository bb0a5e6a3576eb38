// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the programs show the user as a message: Zielwerk's status bar
// and message boxes, the Bildwandler's window messages and its command line,
// and zielwerk-senden's. Each is one entry here, with the anchor under which the manual
// (docs/hilfe/laufschild/laufschild.html) explains it; a test walks the table
// and the manual together. "{1}", "{2}", ... stand for what is filled in.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace zielwerk {

enum class Message {
  // Titles of the message boxes.
  kErrorTitle,
  kWarningTitle,
  kAboutTitle,
  kAboutText,
  // Zielwerk's status bar.
  kStatusOk,
  kPortOpened,
  kPortClosed,
  kPortOpenFailed,
  kPortNoName,
  kPortMissing,
  kPortBusy,
  kPortNoAccess,
  kPortJoinGroup,
  kPortLogInAgain,
  kPortNotSerial,
  kPortSystemError,
  kLinkUnavailable,
  kWriteError,
  kNoAcknowledge,
  kReceived,
  kSendingSettings,
  kSendingRoute,
  kSendingPictureRow,
  kDisplayReset,
  kResetPortClosed,
  kNoPictureLoaded,
  kSettingsNotText,
  kAppConfigNotText,
  kSettingsNotSaved,
  kPictureNotSent,
  kPictureFileMissing,
  kPictureFileUnreadable,
  kPictureFileTooLarge,
  kPictureFileNotPicture,
  kPrintFailed,
  kHelpNotOpened,
  // Zielwerk's message boxes.
  kNoPortFound,
  kFirstCharacterRefused,
  kPictureNotLoaded,
  kPictureWrongSize,
  kPictureSettingsNotText,
  kAppDataMissing,
  kWorkFolderNotMade,
  kWorkFolderNotEntered,
  // Why a file could not be saved, within the messages that say so.
  kSaveNoPermission,
  kSaveNoFolder,
  kSaveDiskFull,
  kSaveWriteProtected,
  kSaveIsFolder,
  kSaveFileHeld,
  kSaveOtherError,
  kSaveNotRead,
  // The Bildwandler's window.
  kMakerStart,
  kMakerTextSize,
  kMakerTextEmpty,
  kMakerTextCut,
  kMakerPictureShrunk,
  kMakerPictureEnlarged,
  kMakerSaved,
  kMakerFileExists,
  kMakerReplaceQuestion,
  kMakerCannotSave,
  // The Bildwandler reading a picture, in its window and on the command line.
  kFileMissing,
  kFileTooLarge,
  kFileUnreadable,
  kPictureTooLarge,
  kNotAPicture,
  // The Bildwandler's command line.
  kBatchTextEmpty,
  kBatchTextCut,
  kBatchNotAFolder,
  kBatchTargetIsInput,
  kBatchTargetMadeBefore,
  kBatchCannotSave,
  kBatchSaved,
  kNoDisplay,
  kSeeHelp,
  kNoFileMatches,
  kOptionTakesNoValue,
  kOptionValueMissing,
  kOutputNameMissing,
  kBadThreshold,
  kBadDither,
  kBadFit,
  kUnknownOption,
  kTextAndFiles,
  kNothingToConvert,
  kOneFileWithoutOutput,
  // zielwerk-senden, besides the texts it shares with the window.
  kSendBadPart,
  kSendBadCarNumber,
  kSendSecondFile,
  kSendSettingsNotText,
};

struct MessageEntry {
  Message id;
  // The manual explains the message under the anchor "meldung-" + key.
  std::string_view key;
  std::string_view text;
};

// In the order of Message.
inline constexpr std::array<MessageEntry, static_cast<size_t>(Message::kSendSettingsNotText) + 1>
    kMessages = {{
        {Message::kErrorTitle, "titel-fehler", "F E H L E R"},
        {Message::kWarningTitle, "titel-warnung", "W A R N U N G"},
        {Message::kAboutTitle, "titel-ueber", "Über..."},
        {Message::kAboutText, "ueber",
         "{1}\n\nZielwerk stellt die elektronische Zielanzeige eines "
         "Modellbahn-Reisezugwagens ein: Zugtyp, Stationen, Lauftext und "
         "Wagennummer.\n\nFreie Software unter der GNU General Public License, Version 3 oder "
         "neuer (GPL-3.0-or-later), ohne jede Gewährleistung. Die Bedienungsanleitung öffnet "
         "„Hilfe“."},
        {Message::kStatusOk, "ok", "Ok"},
        {Message::kPortOpened, "schnittstelle-geoeffnet", "Serielle Schnittstelle geöffnet"},
        {Message::kPortClosed, "schnittstelle-geschlossen", "Serielle Schnittstelle geschlossen"},
        {Message::kPortOpenFailed, "nicht-geoeffnet",
         "Serielle Schnittstelle konnte nicht geöffnet werden: {1}"},
        {Message::kPortNoName, "kein-port", "kein Port angegeben"},
        {Message::kPortMissing, "port-fehlt", "{1} fehlt (Adapter eingesteckt?)"},
        {Message::kPortBusy, "port-belegt", "{1} ist von einem anderen Programm belegt"},
        {Message::kPortNoAccess, "kein-zugriff", "kein Zugriff auf {1}"},
        {Message::kPortJoinGroup, "gruppe-aufnehmen",
         "kein Zugriff ohne Gruppe „{1}“ – Benutzer in die Gruppe aufnehmen, dann neu "
         "anmelden"},
        {Message::kPortLogInAgain, "neu-anmelden",
         "kein Zugriff ohne Gruppe „{1}“ – nach der Aufnahme einmal ab- und wieder anmelden"},
        {Message::kPortNotSerial, "keine-schnittstelle", "{1} ist keine serielle Schnittstelle"},
        {Message::kPortSystemError, "systemfehler", "Systemfehler {1} ({2})"},
        {Message::kLinkUnavailable, "nicht-verfuegbar", "Serielle Schnittstelle nicht verfügbar"},
        {Message::kWriteError, "error", "Error {1}"},
        {Message::kNoAcknowledge, "keine-bestaetigung", "Keine Bestätigung empfangen"},
        {Message::kReceived, "empfangen", "Empfangen: {1}"},
        {Message::kSendingSettings, "einstellungen-gesendet", "Einstellungen werden gesendet"},
        {Message::kSendingRoute, "lauftext-gesendet", "Lauftext wird gesendet"},
        {Message::kSendingPictureRow, "bild-gesendet", "Bild wird gesendet: Zeile {1} von {2}"},
        {Message::kDisplayReset, "geresettet", "Display geresettet"},
        {Message::kResetPortClosed, "reset-geschlossen",
         "Fehler: Serielle Schnittstelle ist geschlossen"},
        {Message::kNoPictureLoaded, "kein-bild", "kein Bild geladen"},
        {Message::kSettingsNotText, "keine-textdatei",
         "Einstellungsdatei ist keine Textdatei: beim Beenden nicht überschrieben"},
        {Message::kAppConfigNotText, "zielstell-keine-textdatei",
         "Zielstell.ini ist keine Textdatei: beim Beenden nicht überschrieben"},
        {Message::kSettingsNotSaved, "einstellungen-nicht-gespeichert",
         "Einstellungen nicht gespeichert: {1}"},
        {Message::kPictureNotSent, "bild-nicht-gesendet", "Bild {1} nicht gesendet: {2}"},
        {Message::kPictureFileMissing, "bild-fehlt", "nicht gefunden"},
        {Message::kPictureFileUnreadable, "bild-unlesbar", "nicht lesbar"},
        {Message::kPictureFileTooLarge, "bild-datei-zu-gross", "größer als {1} MB"},
        {Message::kPictureFileNotPicture, "bild-unbekannt",
         "kein Bild im Format BMP, JPEG, PNG oder GIF"},
        {Message::kPrintFailed, "drucken-fehler", "Drucken nicht möglich: {1}"},
        {Message::kHelpNotOpened, "hilfe-fehler",
         "Die Bedienungsanleitung lässt sich nicht öffnen: {1}"},
        {Message::kNoPortFound, "kein-com-port", "Es wurde kein COM-Port gefunden"},
        {Message::kFirstCharacterRefused, "erstes-zeichen",
         "Erstes Zeichen muss ein Grossbuchstaben sein"},
        {Message::kPictureNotLoaded, "bild-nicht-geladen", "Bild konnte nicht geladen werden"},
        {Message::kPictureWrongSize, "bild-format", "Bild entspricht nicht dem Format {1}x{2}px"},
        {Message::kPictureSettingsNotText, "bild-keine-textdatei",
         "Die Einstellungsdatei ist keine Textdatei; das Bild wird nicht eingetragen, die "
         "Datei bleibt, wie sie ist.\n\nSpeichern Sie die Einstellungen zuerst mit „Speichern "
         "als...“ unter einem neuen Namen, dann laden Sie das Bild."},
        {Message::kAppDataMissing, "appdata-fehlt",
         "Der Ordner für Anwendungsdaten (%APPDATA%) ist nicht zu finden.\n\n{1}"},
        {Message::kWorkFolderNotMade, "arbeitsordner-anlegen",
         "Der Arbeitsordner kann nicht angelegt werden:\n{1}\n\n{2}"},
        {Message::kWorkFolderNotEntered, "arbeitsordner-oeffnen",
         "Der Arbeitsordner kann nicht geöffnet werden:\n{1}\n\n{2}"},
        {Message::kSaveNoPermission, "speichern-berechtigung", "keine Schreibberechtigung"},
        {Message::kSaveNoFolder, "speichern-ordner", "den Ordner gibt es nicht"},
        {Message::kSaveDiskFull, "speichern-voll", "kein Platz mehr auf dem Datenträger"},
        {Message::kSaveWriteProtected, "speichern-schreibschutz",
         "der Datenträger ist schreibgeschützt"},
        {Message::kSaveIsFolder, "speichern-ist-ordner", "das ist ein Ordner"},
        {Message::kSaveFileHeld, "speichern-offen", "ein anderes Programm hält die Datei offen"},
        {Message::kSaveOtherError, "speichern-fehler", "Fehler {1} bei {2}"},
        {Message::kSaveNotRead, "speichern-unlesbar",
         "die Datei lässt sich nicht lesen, ihr Inhalt ginge verloren"},
        {Message::kMakerStart, "bw-start", "Öffnen Sie ein Bild, oder geben Sie einen Text ein."},
        {Message::kMakerTextSize, "bw-text", "Text mit {1} x {2} Punkten"},
        {Message::kMakerTextEmpty, "bw-text-leer", "Der Text ergibt noch kein Bild."},
        {Message::kMakerTextCut, "bw-text-abgeschnitten",
         "Text mit {1} x {2} Punkten, abgeschnitten auf {3} x {4}"},
        {Message::kMakerPictureShrunk, "bw-verkleinert",
         "{1}: {2} x {3} Punkte, verkleinert auf {4} x {5}"},
        {Message::kMakerPictureEnlarged, "bw-vergroessert",
         "{1}: {2} x {3} Punkte, vergrößert auf {4} x {5}"},
        {Message::kMakerSaved, "bw-gespeichert",
         "Gespeichert: {1} – in Zielwerk unter „Bild Zugtyp“ → „Laden...“ zu wählen"},
        {Message::kMakerFileExists, "bw-gibt-es-schon", "Die Datei {1} gibt es schon."},
        {Message::kMakerReplaceQuestion, "bw-ersetzen",
         "Soll sie durch das neue Zugbild ersetzt werden?"},
        {Message::kMakerCannotSave, "bw-nicht-gespeichert",
         "Das Zugbild lässt sich nicht als {1} speichern: {2}."},
        {Message::kFileMissing, "datei-fehlt", "Die Datei {1} gibt es nicht."},
        {Message::kFileTooLarge, "datei-zu-gross", "Die Datei {1} ist größer als {2} MB."},
        {Message::kFileUnreadable, "datei-unlesbar", "Die Datei {1} lässt sich nicht lesen."},
        {Message::kPictureTooLarge, "bild-zu-gross",
         "Das Bild {1} ist mit {2} x {3} Punkten zu groß: erlaubt sind bis zu {4} Punkte je "
         "Seite und {5} Millionen Punkte in allem."},
        {Message::kNotAPicture, "kein-bild-datei",
         "Die Datei {1} ist kein Bild, das der Bildwandler lesen kann."},
        {Message::kBatchTextEmpty, "text-ohne-bild", "Der Text {1} ergibt kein Bild."},
        {Message::kBatchTextCut, "text-abgeschnitten",
         "Vom Text {1} mit {2} x {3} Punkten zeigt die Anzeige nur {4} x {5}, der Rest ist "
         "abgeschnitten."},
        {Message::kBatchNotAFolder, "kein-ordner",
         "{1} ist kein Ordner: für mehrere Bilder muss -o einen vorhandenen Ordner nennen."},
        {Message::kBatchTargetIsInput, "ziel-ist-quelle",
         "{1} ist eines der Bilder, die umgewandelt werden; es bleibt, wie es ist."},
        {Message::kBatchTargetMadeBefore, "ziel-schon-entstanden",
         "{1} ist schon in diesem Lauf entstanden; {2} wird nicht darüber gespeichert."},
        {Message::kBatchCannotSave, "nicht-gespeichert", "{1} lässt sich nicht speichern: {2}."},
        {Message::kBatchSaved, "gespeichert", "Gespeichert: {1}"},
        {Message::kNoDisplay, "kein-bildschirm",
         "Das Fenster lässt sich nicht öffnen, kein Bildschirm erreichbar. Ohne Fenster "
         "wandelt der Bildwandler mit -o um (siehe --help)."},
        {Message::kSeeHelp, "uebersicht", "Eine Übersicht gibt {1} --help."},
        {Message::kNoFileMatches, "keine-datei", "Zu {1} passt keine Datei."},
        {Message::kOptionTakesNoValue, "kein-wert", "{1} hat keinen Wert."},
        {Message::kOptionValueMissing, "wert-fehlt", "Zu {1} fehlt der Wert."},
        {Message::kOutputNameMissing, "ausgabe-fehlt", "Zu {1} fehlt der Name der Ausgabe."},
        {Message::kBadThreshold, "schwelle",
         "Ungültiger Wert {1} für --threshold: erlaubt sind die ganzen Zahlen von 0 bis 255."},
        {Message::kBadDither, "rasterung",
         "Ungültiger Wert {1} für --dither: erlaubt sind none, floyd-steinberg und atkinson."},
        {Message::kBadFit, "einpassen",
         "Ungültiger Wert {1} für --fit: erlaubt sind whole, height und width."},
        {Message::kUnknownOption, "unbekannte-option", "Unbekannte Option {1}."},
        {Message::kTextAndFiles, "text-und-bilder",
         "Ein Text und Bilddateien zugleich gehen nicht: entweder --text oder Bilder."},
        {Message::kNothingToConvert, "nichts-umzuwandeln",
         "Zu -o fehlt das Bild oder der Text (--text)."},
        {Message::kOneFileWithoutOutput, "ohne-ausgabe",
         "Ohne -o öffnet der Bildwandler ein einziges Bild im Fenster; mehrere Bilder wandelt "
         "er mit -o in einen Ordner um."},
        {Message::kSendBadPart, "senden-nur",
         "Ungültiger Wert {1} für --nur: erlaubt sind reset, einstellungen, lauftext und bild, "
         "durch Kommas getrennt."},
        {Message::kSendBadCarNumber, "senden-wagennummer",
         "Ungültiger Wert {1} für --wagennummer: erlaubt sind die ganzen Zahlen von 1 bis 9."},
        {Message::kSendSecondFile, "senden-eine-datei",
         "Gesendet wird eine einzige Einstellungsdatei; {1} wäre eine zweite."},
        {Message::kSendSettingsNotText, "senden-keine-textdatei",
         "Die Datei {1} ist keine Textdatei, also keine Einstellungsdatei; es wird nichts "
         "gesendet."},
    }};

// The table is indexed by its messages.
constexpr bool InMessageOrder() {
  for (size_t i = 0; i < kMessages.size(); ++i) {
    if (static_cast<size_t>(kMessages[i].id) != i) return false;
  }
  return true;
}
static_assert(InMessageOrder());

// The message's text as the table holds it, placeholders included.
constexpr std::string_view MessageText(Message id) {
  return kMessages[static_cast<size_t>(id)].text;
}

// The message with "{1}", "{2}", ... replaced by `values` in that order; a
// placeholder without a value stays as it is.
std::string ComposeMessage(Message id, std::initializer_list<std::string_view> values = {});

// `text` in German quotation marks: „text“.
std::string Quoted(std::string_view text);

}  // namespace zielwerk
