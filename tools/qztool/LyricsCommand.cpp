// qztool lyrics: timed lyrics from a player or subtitle editor, as the show's "rap.txt".
//   lyrics FILE.lrc|FILE.srt [--offset MS] [--snap SYNC_OR_SONG] [--font FONT.bmp]
// Standard output: the rap.txt text. Standard error: how many lines, what was replaced
// or will be cut (by source line), and how far --snap moved the lines.
#include "app/DataFolder.h"
#include "demo/effects/BitmapFont.h"
#include "tools/qztool/Command.h"
#include "tools/qztool/CommandOptions.h"
#include "tools/qztool/LrcFile.h"
#include "tools/qztool/RapText.h"
#include "tools/qztool/Session.h"
#include "tools/qztool/SongAnalysis.h"
#include "tools/qztool/SrtFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

const char* USAGE =
    "  qztool lyrics FILE.lrc|FILE.srt [--offset MS] [--snap SYNC_OR_SONG] [--font FONT.bmp]\n"
    "                                        timed lyrics as the show's rap.txt\n";

// The show's song beside its sync file, as in a data folder.
constexpr const char* SHOW_SONG = "rap2.mp3";
constexpr const char* SHOW_FONT = "Verdana256.bmp";

bool endsWith(const std::string& name, const std::string& ending)
{
    if (name.size() < ending.size())
        return false;
    std::string tail = name.substr(name.size() - ending.size());
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return tail == ending;
}

// The cues of an LRC or SRT file (the name's ending chooses). 0, or the failure's status.
int readCues(const std::string& path, std::vector<LyricCue>& cues)
{
    std::string bytes, error;
    if (!endsWith(path, ".lrc") && !endsWith(path, ".srt"))
        return qzFailure(path, "not a .lrc or .srt file (the name's ending chooses the format)");
    if (!readWholeFile(path, bytes))
        return qzFailure(path, "cannot open or read the file");
    const bool parsed = endsWith(path, ".lrc") ? parseLrc(bytes, cues, error) : parseSrt(bytes, cues, error);
    return parsed ? 0 : qzFailure(path, error);
}

// Glyph widths of the band's font: the one named, else the show's in its data folder.
// Nothing (with a note on standard error) when there is no font to measure with.
std::optional<GlyphWidths> bandFontWidths(const std::string& named, int& status)
{
    std::string path = named;
    if (path.empty()) {
        const DataFolderSearch search = findDataFolder();
        path = search.found + "/" + SHOW_FONT;
        if (search.found.empty() || !std::filesystem::exists(path)) {
            std::fprintf(stderr, "lyrics: no %s found (--font names one): line widths not checked\n", SHOW_FONT);
            return std::nullopt;
        }
    }
    QzSession session;
    BitmapFont font;
    if (!font.load(path.c_str())) {
        status = qzFailure(path, "cannot read the font picture");
        return std::nullopt;
    }
    GlyphWidths widths{};
    for (int code = 0; code < BitmapFont::GlyphCount; ++code)
        widths[std::size_t(code)] = font.glyph(std::uint8_t(code)).width;
    return widths;
}

// The song whose beats --snap uses: an MP3 itself, or the show's song beside a sync file.
std::string snapSong(const std::string& given)
{
    if (endsWith(given, ".mp3"))
        return given;
    return (std::filesystem::path(given).parent_path() / SHOW_SONG).string();
}

// Moves every cue to the nearest beat of the song's grid and says how far. 0, or the
// failure's status.
int snapToBeats(const std::string& given, std::vector<LyricCue>& cues)
{
    const std::string song = snapSong(given);
    if (!endsWith(given, ".mp3") && !std::filesystem::exists(given))
        return qzFailure(given, "no such sync file");
    if (!endsWith(given, ".mp3") && !std::filesystem::exists(song))
        return qzFailure(given, std::string("no ") + SHOW_SONG + " beside this sync file (--snap takes a song or a show folder's Syncro.txt)");
    SongAnalysis analysis;
    std::string error;
    if (!analyseSong(song, BeatGridOptions{}, analysis, error))
        return qzFailure(song, error);
    std::vector<double> moves;
    for (LyricCue& cue : cues) {
        const std::int64_t snapped = std::llround(analysis.grid.nearestBeatMs(double(cue.ms)));
        moves.push_back(double(std::llabs(snapped - cue.ms)));
        cue.ms = snapped;
    }
    std::sort(moves.begin(), moves.end());
    std::fprintf(stderr, "snap: %zu lines to the beats of %s (%.2f BPM), moved by %.0f ms at the median, %.0f ms at most\n",
        moves.size(), song.c_str(), analysis.grid.bpm(), moves.empty() ? 0.0 : moves[moves.size() / 2],
        moves.empty() ? 0.0 : moves.back());
    return 0;
}

// Lines that cannot be seen: shown from the same moment as the next one.
void reportHiddenLines(const std::vector<LyricCue>& cues, std::vector<std::string>& warnings)
{
    for (std::size_t i = 0; i + 1 < cues.size(); ++i)
        if (!cues[i].text.empty() && std::max<std::int64_t>(0, cues[i].ms) == std::max<std::int64_t>(0, cues[i + 1].ms))
            warnings.push_back(lineError(cues[i].line, "never seen: line " + std::to_string(cues[i + 1].line)
                + " replaces it at the same time (" + std::to_string(std::max<std::int64_t>(0, cues[i].ms)) + " ms)"));
}

void printReport(const std::string& path, std::size_t lines, const RapTextReport& report)
{
    std::fprintf(stderr, "lyrics: %zu lines from %s\n", lines, path.c_str());
    if (report.replaced > 0)
        std::fprintf(stderr, "lyrics: %d characters outside Latin-1 replaced in the lines written (the first on line %d)\n", report.replaced,
            report.firstReplacedLine);
    for (const std::string& warning : report.warnings)
        std::fprintf(stderr, "lyrics: %s\n", warning.c_str());
}

int runLyrics(const std::vector<std::string>& args)
{
    CommandOptions given;
    std::string error;
    long offset = 0;
    if (!splitOptions(args, {"--offset", "--snap", "--font"}, given, error))
        return qzUsageError(error);
    if (given.has("--offset") && !parseWholeNumber(given.values.at("--offset"), -MAX_LYRIC_MS, MAX_LYRIC_MS, offset))
        return qzUsageError("--offset takes milliseconds to add to every time (negative: earlier)");
    if (given.positional.size() != 1)
        return qzUsageError("usage: qztool lyrics FILE.lrc|FILE.srt [--offset MS] [--snap SYNC_OR_SONG] [--font FONT.bmp]");
    const std::string& path = given.positional[0];

    std::vector<LyricCue> cues;
    if (int status = readCues(path, cues))
        return status;
    for (LyricCue& cue : cues)
        cue.ms += offset;
    if (given.has("--snap"))
        if (int status = snapToBeats(given.values.at("--snap"), cues))
            return status;
    int status = 0;
    const std::optional<GlyphWidths> widths = bandFontWidths(given.has("--font") ? given.values.at("--font") : "", status);
    if (status)
        return status;
    RapTextReport report;
    const std::string text = rapText(cues, widths ? &*widths : nullptr, report);
    reportHiddenLines(cues, report.warnings);
    printReport(path, cues.size(), report);
    return writeStandardOutput(text);
}

const QzCommand lyricsCommand("lyrics", USAGE, runLyrics);

}
