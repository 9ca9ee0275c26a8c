#include "tools/velvet-render/ExportProgress.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int BAR_WIDTH = 30;
constexpr int PLAIN_LINES = 10;
// The bar is redrawn at most this often: a terminal that scrolls is a cost too.
constexpr auto REDRAW = std::chrono::milliseconds(100);

struct Rate {
    double fps = 0.0;
    double secondsLeft = 0.0;
    bool known = false;
};

Rate rateOf(long done, long total, double seconds)
{
    Rate r;
    if (seconds > 0.0 && done > 0) {
        r.fps = double(done) / seconds;
        r.secondsLeft = double(std::max(total - done, 0L)) / r.fps;
        r.known = true;
    }
    return r;
}

std::string minutes(double seconds)
{
    const long whole = long(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

void writeAll(int fd, const char* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        bytes += n;
        size -= std::size_t(n);
    }
}

}

std::string progressBar(long done, long total, double seconds)
{
    const int filled = total > 0 ? int(std::clamp(done, 0L, total) * BAR_WIDTH / total) : BAR_WIDTH;
    std::string bar(std::size_t(filled), '#');
    bar.append(std::size_t(BAR_WIDTH - filled), '.');
    const Rate r = rateOf(done, total, seconds);
    char text[160];
    if (r.known)
        std::snprintf(text, sizeof text, "[%s] %ld/%ld frames  %.1f fps  %s left", bar.c_str(), done, total, r.fps,
            minutes(r.secondsLeft).c_str());
    else
        std::snprintf(text, sizeof text, "[%s] %ld/%ld frames", bar.c_str(), done, total);
    return text;
}

std::string progressLine(long done, long total, double seconds)
{
    const Rate r = rateOf(done, total, seconds);
    char text[160];
    if (r.known)
        std::snprintf(text, sizeof text, "frame %ld / %ld (%.1f fps, %s left)", done, total, r.fps,
            minutes(r.secondsLeft).c_str());
    else
        std::snprintf(text, sizeof text, "frame %ld / %ld", done, total);
    return text;
}

ExportProgress::ExportProgress(long total, bool terminal)
    : total_(total)
    , terminal_(terminal)
    , started_(std::chrono::steady_clock::now())
    , lastDrawn_(started_)
{
    if (!terminal_)
        return;
    int fds[2];
    std::fflush(stdout);
    if (::pipe(fds) != 0)
        return;
    consoleOut_ = ::dup(1);
    if (consoleOut_ < 0 || ::dup2(fds[1], 1) < 0) {
        if (consoleOut_ >= 0)
            ::close(consoleOut_);
        consoleOut_ = -1;
        ::close(fds[0]);
        ::close(fds[1]);
        return;
    }
    ::close(fds[1]);
    consolePipe_ = fds[0];
    ::fcntl(consolePipe_, F_SETFL, O_NONBLOCK);
}

ExportProgress::~ExportProgress()
{
    finish();
}

void ExportProgress::relayConsole()
{
    if (consolePipe_ < 0)
        return;
    char buffer[4096];
    bool cleared = false;
    for (;;) {
        const ssize_t n = ::read(consolePipe_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (!cleared && drawn_)
            std::fprintf(stderr, "\r\033[K");
        cleared = true;
        writeAll(consoleOut_, buffer, std::size_t(n));
    }
    // The bar went away under the console's lines: it is drawn again at once.
    if (cleared)
        drawn_ = false;
}

void ExportProgress::frame(long done)
{
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - started_).count();
    if (terminal_) {
        relayConsole();
        if (done != total_ && drawn_ && now - lastDrawn_ < REDRAW)
            return;
        std::fprintf(stderr, "\r%s\033[K", progressBar(done, total_, seconds).c_str());
        drawn_ = true;
        lastDrawn_ = now;
        return;
    }
    const long every = std::max(1L, (total_ + PLAIN_LINES - 1) / PLAIN_LINES);
    if (done == total_ || done % every == 0)
        std::fprintf(stderr, "velvet-render: %s\n", progressLine(done, total_, seconds).c_str());
}

void ExportProgress::finish()
{
    if (consolePipe_ >= 0) {
        std::fflush(stdout);
        relayConsole();
        ::dup2(consoleOut_, 1);
        ::close(consoleOut_);
        ::close(consolePipe_);
        consoleOut_ = -1;
        consolePipe_ = -1;
    }
    if (drawn_)
        std::fprintf(stderr, "\n");
    drawn_ = false;
}
