#pragma once
// The real GSD files of the shared corpus, for tests that run over all of them.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace taluna_test {

// Every *.g?? file of the corpus, in name order.
inline std::vector<std::filesystem::path> CorpusFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TALUNA_CORPUS_DIR)) {
        const std::string ext = entry.path().extension().string();
        if (ext.size() == 4 && (ext[1] == 'g' || ext[1] == 'G')) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace taluna_test
