// Runs every input of the given files and folders through the fuzz target
// once, without libFuzzer: the checked-in corpus replays in the test command.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        if (fs::is_directory(argv[i], error)) {
            std::vector<fs::path> folder;
            for (const fs::directory_entry& entry : fs::directory_iterator(argv[i], error)) {
                if (entry.is_regular_file())
                    folder.push_back(entry.path());
            }
            if (error) {
                std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
                return 2;
            }
            std::sort(folder.begin(), folder.end());
            inputs.insert(inputs.end(), folder.begin(), folder.end());
        } else {
            inputs.emplace_back(argv[i]);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...: no inputs\n", argv[0]);
        return 2;
    }
    for (const fs::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "%s: cannot be read\n", input.c_str());
            return 2;
        }
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
