// Runs a fuzz target's entry point, without libFuzzer, on every file of the
// directories (or on the files) named on the command line: the inputs that once
// made a target fail, kept as regression tests. Names starting with a dot are
// not inputs. Exit status 1 for a path that does not exist, so that a wrong path
// cannot pass unnoticed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            for (const auto& item : std::filesystem::directory_iterator(arg))
                if (item.is_regular_file() && item.path().filename().string()[0] != '.') files.push_back(item.path());
        } else if (std::filesystem::is_regular_file(arg)) {
            files.push_back(arg);
        } else {
            std::cerr << "no such file or directory: " << arg.string() << '\n';
            return 1;
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::cout << "running " << file.filename().string() << " (" << bytes.size() << " bytes)" << std::endl;
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << files.size() << " inputs passed\n";
    return 0;
}
