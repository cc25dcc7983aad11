// A plain driver for the fuzz target where clang's libFuzzer is not available. It takes the
// options and arguments of libFuzzer that the smoke script uses:
//   replay [-max_total_time=SECONDS] [-seed=N] [-max_len=BYTES] [-timeout=SECONDS] FILE|FOLDER...
// Every input is run once; then, for the given time, random variations of them (bytes flipped,
// inserted or removed, lines repeated, inputs spliced, NMEA tokens inserted). An input that makes
// the sanitizers report is written to ./crash-input before the process ends.

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define REPLAY_WITH_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define REPLAY_WITH_ASAN 1
#endif
#ifdef REPLAY_WITH_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Input = std::string;

Input g_current; // the input being run, written out when the run fails

void saveCurrent()
{
    if (FILE* out = std::fopen("crash-input", "wb")) {
        std::fwrite(g_current.data(), 1, g_current.size(), out);
        std::fclose(out);
        std::fprintf(stderr, "replay: input written to crash-input (%zu bytes)\n", g_current.size());
    }
}

void onTimeout(int)
{
    static const char text[] = "replay: an input ran longer than the time-out\n";
    if (::write(STDERR_FILENO, text, sizeof text - 1) < 0) {
    }
    saveCurrent();
    std::_Exit(70);
}

void run(const Input& input, unsigned timeoutSeconds)
{
    g_current = input;
    ::alarm(timeoutSeconds);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    ::alarm(0);
}

bool readFile(const std::filesystem::path& path, Input& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

class Mutator
{
public:
    Mutator(unsigned seed, std::size_t maxLength) : m_random(seed), m_maxLength(maxLength) {}

    Input mutate(const std::vector<Input>& pool)
    {
        Input input = pool[pick(pool.size())];
        const int steps = 1 + int(pick(4));
        for (int i = 0; i < steps; ++i)
            step(input, pool);
        if (input.size() > m_maxLength)
            input.resize(m_maxLength);
        return input;
    }

private:
    std::size_t pick(std::size_t count) { return count ? std::size_t(m_random() % count) : 0; }

    void step(Input& input, const std::vector<Input>& pool)
    {
        static const char* const tokens[] = {"$GNRMC,",
                                             "$GPGGA,",
                                             "$SNRMC,",
                                             "$PZTRX,",
                                             "$GPRMC,",
                                             ",",
                                             "*",
                                             "\n",
                                             "\r\n",
                                             ".",
                                             "-",
                                             "0",
                                             "9",
                                             "A",
                                             "V",
                                             "N",
                                             "S",
                                             "W",
                                             "E",
                                             "*00",
                                             "235959.999",
                                             "010100",
                                             "999999999999",
                                             "1e308",
                                             "nan",
                                             "0x1p-1074"};
        const std::size_t at = pick(input.size() + 1);
        switch (pick(7)) {
        case 0: // flip a byte
            if (!input.empty())
                input[pick(input.size())] ^= char(1u << pick(8));
            break;
        case 1: // insert a random byte
            input.insert(at, 1, char(m_random()));
            break;
        case 2: // remove a range
            if (!input.empty())
                input.erase(at, 1 + pick(16));
            break;
        case 3: { // insert a token
            const char* token = tokens[pick(std::size(tokens))];
            input.insert(at, token);
            break;
        }
        case 4: { // repeat a line
            const std::size_t start = input.rfind('\n', at == 0 ? 0 : at - 1);
            const std::size_t from = start == Input::npos ? 0 : start + 1;
            const std::size_t end = std::min(input.find('\n', from), input.size());
            const Input line = input.substr(from, end - from) + '\n';
            input.insert(from, line);
            break;
        }
        case 5: { // splice in a piece of another input
            const Input& other = pool[pick(pool.size())];
            const std::size_t from = pick(other.size() + 1);
            input.insert(at, other, from, pick(other.size() - from + 1));
            break;
        }
        default: // replace a digit by another
            for (std::size_t i = 0, n = input.size(); i < n; ++i) {
                char& c = input[(at + i) % n];
                if (c >= '0' && c <= '9') {
                    c = char('0' + pick(10));
                    break;
                }
            }
            break;
        }
    }

    std::mt19937 m_random;
    std::size_t m_maxLength;
};

} // namespace

int main(int argc, char** argv)
{
    double maxSeconds = 0;
    unsigned seed = 1;
    std::size_t maxLength = 4096;
    unsigned timeout = 10;
    std::vector<Input> pool;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-max_total_time=", 0) == 0) {
            maxSeconds = std::atof(arg.c_str() + 16);
        } else if (arg.rfind("-seed=", 0) == 0) {
            seed = unsigned(std::strtoul(arg.c_str() + 6, nullptr, 10));
        } else if (arg.rfind("-max_len=", 0) == 0) {
            maxLength = std::size_t(std::strtoul(arg.c_str() + 9, nullptr, 10));
        } else if (arg.rfind("-timeout=", 0) == 0) {
            timeout = unsigned(std::strtoul(arg.c_str() + 9, nullptr, 10));
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "replay: option %s ignored\n", arg.c_str());
        } else if (std::filesystem::is_directory(arg)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            }
            std::sort(files.begin(), files.end());
            for (const auto& file : files) {
                Input input;
                if (readFile(file, input))
                    pool.push_back(std::move(input));
            }
        } else {
            Input input;
            if (!readFile(arg, input)) {
                std::fprintf(stderr, "replay: cannot read %s\n", arg.c_str());
                return 2;
            }
            pool.push_back(std::move(input));
        }
    }
    if (pool.empty())
        pool.emplace_back();

#ifdef REPLAY_WITH_ASAN
    __sanitizer_set_death_callback(saveCurrent);
#endif
    std::signal(SIGALRM, onTimeout);
    LLVMFuzzerInitialize(&argc, &argv);

    for (const Input& input : pool)
        run(input, timeout);
    std::size_t runs = pool.size();

    Mutator mutator(seed, maxLength);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    while (elapsed() < maxSeconds) {
        Input input = mutator.mutate(pool);
        run(input, timeout);
        ++runs;
        // Keep a few variations as material for later ones, without letting the pool grow.
        if (runs % 64 == 0 && pool.size() < 4096)
            pool.push_back(std::move(input));
    }
    std::printf("replay: %zu runs in %.0f s, no finding\n", runs, elapsed());
    return 0;
}
