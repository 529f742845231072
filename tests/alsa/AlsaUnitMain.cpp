// kivra_alsa_unit: the simulated unit as a process of its own, for scripts that
// drive the real editor in the test machine. It runs until SIGTERM or SIGINT.
//
//   kivra_alsa_unit --name "<port name>" [--ready FILE] [--record FILE] [--image FILE]
//                   [--delay-ms MIN-MAX] [--fault KIND] [--fault-after N]
//                   [--late-ms MS] [--device-id N]
//
// Exit status: 0, or 3 when the unit saw problems (each on stderr), 2 on wrong usage.
#include "AlsaUnit.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <pthread.h>

namespace
{
int usage (const std::string& why)
{
    std::cerr << "kivra_alsa_unit: " << why << "\n"
              << "usage: kivra_alsa_unit --name NAME [--ready FILE] [--record FILE] [--image FILE]"
                 " [--delay-ms MIN-MAX] [--fault silent|unplug|late|twice|noise] [--fault-after N]"
                 " [--late-ms MS] [--device-id N]\n";
    return 2;
}

bool toCount (const std::string& text, int& value)
{
    char* end = nullptr;
    const long number = std::strtol (text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < 0 || number > 1'000'000)
        return false;
    value = (int) number;
    return true;
}

bool toRange (const std::string& text, int& low, int& high)
{
    const auto dash = text.find ('-');
    return dash != std::string::npos && toCount (text.substr (0, dash), low) && toCount (text.substr (dash + 1), high)
           && low <= high;
}

// Parses the arguments into options; the reason when they are wrong.
std::string parse (int argc, char** argv, AlsaUnit::Options& options)
{
    options.name.clear();
    for (int i = 1; i < argc; i += 2)
    {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return option + " needs a value";
        const std::string value = argv[i + 1];

        if (option == "--name") options.name = value;
        else if (option == "--ready") options.readyFile = value;
        else if (option == "--record") options.recordFile = value;
        else if (option == "--image") options.imageFile = value;
        else if (option == "--delay-ms") { if (! toRange (value, options.minDelayMs, options.maxDelayMs)) return "bad --delay-ms: " + value; }
        else if (option == "--fault-after") { if (! toCount (value, options.faultAfter)) return "bad --fault-after: " + value; }
        else if (option == "--late-ms") { if (! toCount (value, options.lateMs)) return "bad --late-ms: " + value; }
        else if (option == "--device-id") { if (! toCount (value, options.deviceId)) return "bad --device-id: " + value; }
        else if (option == "--fault")
        {
            const auto fault = AlsaUnit::faultNamed (value);
            if (! fault)
                return "unknown --fault: " + value;
            options.fault = *fault;
        }
        else
            return "unknown option " + option;
    }
    return options.name.empty() ? "--name is required" : "";
}
} // namespace

int main (int argc, char** argv)
{
    AlsaUnit::Options options;
    if (const auto error = parse (argc, argv, options); ! error.empty())
        return usage (error);

    // Blocked before the unit's threads start, so they inherit the mask and
    // only sigwait below takes the signals.
    sigset_t stopSignals;
    sigemptyset (&stopSignals);
    sigaddset (&stopSignals, SIGTERM);
    sigaddset (&stopSignals, SIGINT);
    pthread_sigmask (SIG_BLOCK, &stopSignals, nullptr);

    std::vector<std::string> problems;
    {
        AlsaUnit unit (options);
        if (! unit.isPresent())
        {
            std::cerr << "kivra_alsa_unit: could not join the sequencer\n";
            return 1;
        }
        int signal = 0;
        sigwait (&stopSignals, &signal);
        problems = unit.getProblems();
    }

    for (const auto& problem : problems)
        std::cerr << problem << "\n";
    return problems.empty() ? 0 : 3;
}
