#pragma once

#include "LiveFrames.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// Where the levels of one universe go: a DMX daemon, or a recorder in the tests. Both calls come
// from the sender thread only; a false return ends the output with the message in error.
class TDmxOutput {
public:
    virtual ~TDmxOutput() = default;
    virtual bool Open(std::string &error) = 0;
    virtual bool Send(const TUniverse &levels, std::string &error) = 0;
};

// The output of a DMX daemon (olad) for the universe, or, in a build without it, one whose Open
// says so.
std::unique_ptr<TDmxOutput> MakeDaemonOutput(unsigned universe);
// Whether this build can send to a daemon at all.
bool DaemonOutputBuilt();

// The 512 levels of a universe and the one thread that sends them. Callers change levels and
// return at once; the thread opens the output, sends at most FramesPerSecond frames a second,
// folding the changes made meanwhile into the next frame, and sends the levels again every
// second while nothing changes, so that a daemon that went away is noticed. The first failure is
// reported once, through the failure handler on the sender thread; the output then stays closed.
class TLiveOutput {
public:
    static constexpr int FramesPerSecond = 44;
    static constexpr std::chrono::microseconds FrameGap{1'000'000 / FramesPerSecond + 1};

    using TFailureHandler = std::function<void(const std::string &message)>;
    TLiveOutput(std::unique_ptr<TDmxOutput> output, TFailureHandler failed);
    ~TLiveOutput();
    TLiveOutput(const TLiveOutput &) = delete;
    TLiveOutput &operator=(const TLiveOutput &) = delete;

    // Changes levels now; a command playing goes on from the levels as they are then.
    void Set(const TLevelChanges &changes);
    // Plays frames after those already waiting, each in a frame of its own and held for its time.
    void Play(std::vector<TTimedFrame> frames);
    // Waits until every change and frame so far has been sent (not for the last frame's hold);
    // false when the output failed.
    bool Drain();
    bool Failed() const;

private:
    void Run();

    std::unique_ptr<TDmxOutput> output_;
    TFailureHandler failed_;
    mutable std::mutex mutex_;
    std::condition_variable wake_, idle_;
    TUniverse levels_{};
    std::deque<TTimedFrame> queue_;
    bool dirty_ = false;
    bool sending_ = false;
    bool opened_ = false;
    bool failed_state_ = false;
    bool stop_ = false;
    std::thread thread_;
};
