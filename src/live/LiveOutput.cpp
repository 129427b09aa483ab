#include "LiveOutput.h"

#include <csignal>
#include <pthread.h>

using Clock = std::chrono::steady_clock;

namespace {

// A daemon that closed its end makes the next write raise SIGPIPE. Blocked on this thread alone,
// it only fails the write, and the rest of the program keeps its own handling of the signal.
void BlockBrokenPipe()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

constexpr std::chrono::seconds Refresh{1};

} // namespace

TLiveOutput::TLiveOutput(std::unique_ptr<TDmxOutput> output, TFailureHandler failed)
    : output_(std::move(output)), failed_(std::move(failed)), thread_([this] { Run(); })
{
}

TLiveOutput::~TLiveOutput()
{
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void TLiveOutput::Set(const TLevelChanges &changes)
{
    {
        const std::lock_guard lock(mutex_);
        for (const TLevelChange &change : changes)
            if (change.Channel >= 1 && change.Channel <= UniverseSize)
                levels_[static_cast<std::size_t>(change.Channel - 1)] = change.Level;
        dirty_ = true;
    }
    wake_.notify_all();
}

void TLiveOutput::Play(std::vector<TTimedFrame> frames)
{
    {
        const std::lock_guard lock(mutex_);
        for (TTimedFrame &frame : frames)
            queue_.push_back(std::move(frame));
    }
    wake_.notify_all();
}

bool TLiveOutput::Drain()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return failed_state_ || (opened_ && !dirty_ && !sending_ && queue_.empty()); });
    return !failed_state_;
}

bool TLiveOutput::Failed() const
{
    const std::lock_guard lock(mutex_);
    return failed_state_;
}

void TLiveOutput::Run()
{
    BlockBrokenPipe();
    std::string error;
    bool ok = output_->Open(error);
    std::unique_lock lock(mutex_);
    opened_ = ok;
    idle_.notify_all();
    // The earliest the rate allows the next frame, and the end of the hold of the step sent last;
    // both count from the end of a send.
    Clock::time_point nextFrame = Clock::now();
    Clock::time_point holdUntil = nextFrame;
    Clock::time_point lastFrame = nextFrame;
    while (ok && !stop_) {
        const Clock::time_point now = Clock::now();
        const bool stepDue = !queue_.empty() && now >= holdUntil;
        if ((dirty_ || stepDue || now >= lastFrame + Refresh) && now >= nextFrame) {
            std::chrono::milliseconds hold{-1};
            if (stepDue) {
                for (const TLevelChange &change : queue_.front().Changes)
                    if (change.Channel >= 1 && change.Channel <= UniverseSize)
                        levels_[static_cast<std::size_t>(change.Channel - 1)] = change.Level;
                hold = std::chrono::milliseconds(queue_.front().HoldMs);
                queue_.pop_front();
            }
            const TUniverse frame = levels_;
            dirty_ = false;
            sending_ = true;
            lock.unlock();
            ok = output_->Send(frame, error);
            lastFrame = Clock::now();
            lock.lock();
            sending_ = false;
            nextFrame = lastFrame + FrameGap;
            if (hold.count() >= 0)
                holdUntil = lastFrame + hold;
            idle_.notify_all();
            continue;
        }
        // Asleep until the refresh, the next step or the next frame the rate allows, or a change.
        Clock::time_point until = lastFrame + Refresh;
        if (!queue_.empty())
            until = std::min(until, std::max(nextFrame, holdUntil));
        if (dirty_)
            until = std::min(until, nextFrame);
        wake_.wait_until(lock, std::max(until, nextFrame));
    }
    if (!ok) {
        // The handler first: whoever waits in Drain finds the report made.
        lock.unlock();
        if (failed_)
            failed_(error);
        lock.lock();
        failed_state_ = true;
        idle_.notify_all();
    }
}
