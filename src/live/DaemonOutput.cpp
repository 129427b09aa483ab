#include "LiveOutput.h"

#include <cstdlib>

#ifdef RIGSMITH_WITH_OLA
#include <ola/DmxBuffer.h>
#include <ola/Logging.h>
#include <ola/client/StreamingClient.h>
#endif

namespace {

// olad's port for its clients: 9010 unless RIGSMITH_OLA_PORT names another (a daemon of the
// tests' own, or one the user started with --rpc-port).
uint16_t DaemonPort()
{
    const char *port = std::getenv("RIGSMITH_OLA_PORT");
    const long number = port != nullptr ? std::strtol(port, nullptr, 10) : 0;
    return number > 0 && number < 65536 ? static_cast<uint16_t>(number) : 9010;
}

#ifdef RIGSMITH_WITH_OLA

class TOlaOutput final : public TDmxOutput {
public:
    explicit TOlaOutput(unsigned universe) : universe_(universe) {}

    bool Open(std::string &error) override
    {
        // The library's own reports would only repeat ours on the terminal.
        ola::InitLogging(ola::OLA_LOG_NONE, ola::OLA_LOG_STDERR);
        ola::client::StreamingClient::Options options;
        options.auto_start = false; // a daemon the user did not start is none of our business
        options.server_port = DaemonPort();
        client_ = std::make_unique<ola::client::StreamingClient>(options);
        if (client_->Setup())
            return true;
        error =
            "olad, the DMX daemon, does not answer on port " + std::to_string(options.server_port) + ": is it running?";
        return false;
    }

    bool Send(const TUniverse &levels, std::string &error) override
    {
        ola::DmxBuffer buffer(levels.data(), static_cast<unsigned>(levels.size()));
        if (client_->SendDmx(universe_, buffer))
            return true;
        error = "The connection to olad was lost: did it stop?";
        return false;
    }

private:
    unsigned universe_;
    std::unique_ptr<ola::client::StreamingClient> client_;
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
