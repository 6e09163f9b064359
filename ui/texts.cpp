// texts.cpp: the table of all texts and the language rule. Every character beyond ASCII is written as
// an escape: texts the user sees are UTF-16, the few 8-bit texts (registry, shortcut) ASCII.
#include "ui/texts.h"

#include <windows.h>

#include <initializer_list>

#include "game/state.h"

#define NBSP2 L"\u00A0\u00A0"

const TextPairW MenuGame = {L"&Game", L"&Spiel"};
const TextPairW MenuNewGame = {L"&New Game\tCtrl+N", L"&Neues Spiel\tCtrl+N"};
const TextPairW MenuExit = {L"E&xit\tAlt+X", L"&Beenden\tAlt+X"};
const TextPairW MenuOptions = {L"&Options", L"&Optionen"};
const TextPairW MenuMute = {L"&Mute\tCtrl+M", L"Stu&mm\tCtrl+M"};
const TextPairW MenuAbout = {L"?", L"?"};
const TextPairW MenuHumanOpens = {L"\u274C &You open the game\tF3", L"\u274C &Du beginnst\tF3"};
const TextPairW MenuComputerOpens = {L"\u25EF &Computer opens the game\tF4", L"\u25EF &Computer beginnt\tF4"};

const wchar_t TitleBase[] = L"Noxel";
const TextPairW TitleHumanBegins = {NBSP2 L" [You begin]", NBSP2 L" [Du beginnst]"};
const TextPairW TitleComputerBegins = {NBSP2 L" [Computer begins]", NBSP2 L" [Computer beginnt]"};
const TextPairW TitleMuted = {NBSP2 L" [mute]", NBSP2 L" [stumm]"};

const TextPairW CaptionNewGame = {L"New Game", L"Neues Spiel"};
const TextPairW TextNewGameQuestion = {L"New Game:\rAbort the current game?",
                                       L"Neues Spiel:\rLaufendes Spiel abbrechen?"};
const wchar_t CaptionEnding[] = L"Noxel";
const TextPairW TextHumanWon = {L"Bravo, you've won!", L"Bravo, du hast gewonnen!"};
const TextPairW TextComputerWon = {L"The computer has won!!!", L"Der Computer hat gewonnen!!!"};
const TextPairW TextDraw = {L"It's a draw!", L"Unentschieden!"};
const TextPairW CaptionExit = {L"Exit Noxel", L"Noxel beenden"};
const TextPairW TextExitQuestion = {L"Exit Noxel:\rAbort the current game?",
                                    L"Noxel beenden:\rLaufendes Spiel abbrechen?"};
const TextPairW CaptionAbout = {L"AboutNoxel", L"\u00DCber Noxel"};

#define EM4 L"\u2014\u2014\u2014\u2014"
const wchar_t AboutHeader[] =
    L"Noxel \u2013 v1.0.0.0\r"
    L"\u00A9 2026 Ilvo Orvane\r"
    EM4 EM4 EM4 EM4 EM4 EM4 EM4 L"\r";
#undef EM4

const TextPairW TextRules = {
    L"\rR U L E S   O F   T H E   G A M E\r\r"
    L"Noxel (USA), also called Naughts and Crosses (UK), is a classic game. You and the computer take "
    L"turns placing your marks. The first to get three in a row wins.\r\r"
    L"You can choose a square using keys [1]..[9] or by clicking with the mouse.",
    L"\rS P I E L R E G E L N\r\r"
    L"\u00BBNoxel\u00AB in den USA, \u00BBNaughts and Crosses\u00AB in GB ist ein klassisches Spiel. "
    L"Abwechselnd setzen Mensch und Computer ihre Spielsteine. Gewinner ist, wer zuerst drei Steine in "
    L"einer Reihe hat.\r\r"
    L"Die Spielsteine k\u00F6nnen mit der Tastatur [1]..[9] oder mit der Maus gesetzt werden."};

const TextPairW CaptionUninstall = {L"Uninstall", L"Deinstallation"};
const TextPairW TextUninstallQuestion = {L"Remove Noxel\rfrom this computer?",
                                         L"Noxel\rvon diesem Computer entfernen?"};
const wchar_t CaptionInstall[] = L"Installation";
const wchar_t InstallHeader[] = L"Noxel\u00A0v1.0.0.0\r";
const TextPairW TextInstallQuestion = {L"Install for all users?", L"F\u00FCr alle Benutzer installieren?"};

const TextPairW TextSquare = {L"Square", L"Feld"};
const TextPairW TextSquareEmpty = {L"empty", L"leer"};
const TextPairW TextSquareCross = {L"Cross", L"Kreuz"};
const TextPairW TextSquareRing = {L"Ring", L"Kreis"};
const TextPairW TextPlay = {L"Play", L"Setzen"};
// What the board's live text says; '#' stands for the square's number.
const TextPairW TextSaid[3] = {{L"Cross on square #", L"Kreuz auf Feld #"},
                               {L"Ring on square #", L"Kreis auf Feld #"},
                               {L"Square # is taken", L"Feld # ist besetzt"}};

const char ShortcutDescription[] = "Noxel Spiel/Game";
const char DisplayName[] = "Noxel";
const char DisplayVersion[] = "v1.0.0.0";
const char Publisher[] = "Ilvo Orvane";
const char ProductPage[] = "https://orvane.example/noxel";

bool isGermanLanguage(unsigned short languageId)
{
    return (languageId & 0x3FF) == LANG_GERMAN;
}

void detectLanguage()
{
    if (isGermanLanguage(GetUserDefaultLangID()))
        game.german = true;
}

const wchar_t *pickTextW(const wchar_t *english, const wchar_t *german)
{
    return game.german ? german : english;
}

const wchar_t *pickTextW(const TextPairW &pair)
{
    return pickTextW(pair.english, pair.german);
}

void composeSquareName(wchar_t *out, size_t size, int square, Cell cell)
{
    const wchar_t number[5] = {L' ', static_cast<wchar_t>(L'0' + square), L':', L' ', L'\0'};
    const wchar_t *mark = pickTextW(cell == Cross ? TextSquareCross : cell == Ring ? TextSquareRing : TextSquareEmpty);
    size_t at = 0;
    for (const wchar_t *piece : {pickTextW(TextSquare), static_cast<const wchar_t *>(number), mark})
        for (; *piece != L'\0' && at + 1 < size; ++piece)
            out[at++] = *piece;
    if (size != 0)
        out[at] = L'\0';
}

void composeAnnouncement(wchar_t *out, size_t size, Spoken what, int square)
{
    size_t at = 0;
    for (const wchar_t *text = pickTextW(TextSaid[what]); *text != L'\0' && at + 1 < size; ++text)
        out[at++] = *text == L'#' ? static_cast<wchar_t>(L'0' + square) : *text;
    if (size != 0)
        out[at] = L'\0';
}
