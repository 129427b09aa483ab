#include "LiveOutput.h"

#include <cstdlib>

#ifdef RIGSMITH_WITH_OLA
#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/Logging.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>
#include <ola/network/SocketAddress.h>
#include <ola/network/TCPSocket.h>
#endif

namespace {

#ifdef RIGSMITH_WITH_OLA

// olad's port for its clients: 9010 unless RIGSMITH_OLA_PORT names another (a daemon of the
// tests' own, or one the user started with --rpc-port).
uint16_t DaemonPort()
{
    const char *port = std::getenv("RIGSMITH_OLA_PORT");
    const long number = port != nullptr ? std::strtol(port, nullptr, 10) : 0;
    return number > 0 && number < 65536 ? static_cast<uint16_t>(number) : 9010;
}

// Every frame waits for olad's answer: a frame sent is a frame olad has taken, also the last one
// before the program ends, and a daemon that went away is noticed at the next frame.
class TOlaOutput final : public TDmxOutput {
public:
    explicit TOlaOutput(unsigned universe) : universe_(universe) {}
    ~TOlaOutput() override
    {
        // The client neither runs nor deletes a close handler that the connection never needed.
        if (closeHandler_) {
            client_->SetCloseHandler(nullptr);
            delete closeHandler_;
        }
        // Requests olad never answered go with the connection.
        if (client_)
            client_->Stop();
        if (socket_)
            select_.RemoveReadDescriptor(socket_.get());
    }

    bool Open(std::string &error) override
    {
        // The library's own reports would only repeat ours on the terminal.
        ola::InitLogging(ola::OLA_LOG_NONE, ola::OLA_LOG_STDERR);
        const uint16_t port = DaemonPort();
        socket_.reset(ola::network::TCPSocket::Connect(
            ola::network::IPV4SocketAddress(ola::network::IPV4Address::Loopback(), port)));
        if (socket_) {
            client_ = std::make_unique<ola::client::OlaClient>(socket_.get());
            if (client_->Setup() && select_.AddReadDescriptor(socket_.get())) {
                closeHandler_ = ola::NewSingleCallback(this, &TOlaOutput::Closed);
                client_->SetCloseHandler(closeHandler_);
                return true;
            }
        }
        error = "olad, the DMX daemon, does not answer on port " + std::to_string(port) + ": is it running?";
        return false;
    }

    bool Send(const TUniverse &levels, std::string &error) override
    {
        answered_ = false;
        client_->SendDMX(universe_, ola::DmxBuffer(levels.data(), static_cast<unsigned>(levels.size())),
                         ola::client::SendDMXArgs(ola::NewSingleCallback(this, &TOlaOutput::Answered)));
        for (int waits = 0; !answered_ && !closed_ && waits < 50; ++waits)
            select_.RunOnce(ola::TimeInterval(0, 100'000));
        if (answered_ && !closed_ && refusal_.empty())
            return true;
        error = closed_ || !answered_ ? "The connection to olad was lost: did it stop?"
                                      : "olad refused the levels of universe " + std::to_string(universe_) + ": " +
                                            refusal_ + " (is an output patched to it?)";
        return false;
    }

private:
    void Answered(const ola::client::Result &result)
    {
        answered_ = true;
        refusal_ = result.Success() ? std::string() : result.Error();
    }
    // A single-use callback deletes itself once it has run.
    void Closed()
    {
        closeHandler_ = nullptr;
        closed_ = true;
    }

    unsigned universe_;
    ola::io::SelectServer select_;
    std::unique_ptr<ola::network::TCPSocket> socket_;
    std::unique_ptr<ola::client::OlaClient> client_;
    ola::SingleUseCallback0<void> *closeHandler_ = nullptr;
    bool answered_ = false, closed_ = false;
    std::string refusal_;
};

#else

class TOlaOutput final : public TDmxOutput {
public:
    explicit TOlaOutput(unsigned) {}
    bool Open(std::string &error) override
    {
        error = "This build has no live output: OLA's development files (libola-dev) were missing when it was "
                "configured.";
        return false;
    }
    bool Send(const TUniverse &, std::string &) override { return false; }
};

#endif

} // namespace

std::unique_ptr<TDmxOutput> MakeDaemonOutput(unsigned universe)
{
    return std::make_unique<TOlaOutput>(universe);
}

bool DaemonOutputBuilt()
{
#ifdef RIGSMITH_WITH_OLA
    return true;
#else
    return false;
#endif
}
