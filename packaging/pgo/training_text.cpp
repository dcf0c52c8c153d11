// Writes the training texts of a profile-guided build: the benchmarks' generated
// GSD text, and the same text with faults put into some of its lines, so that the
// paths of findings are trained as well as those of sound keys.
//   taluna_training_text <bytes> <sound.gsd> <faulty.gsd>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "gsd_generator.h"

namespace {

// One fault per kind, each in a line of its own: a keyword no one knows, a missing
// '=', a number with a letter in it, an open string and a line that is too long.
std::string WithFaults(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    size_t number = 0;
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find("\r\n", from);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(from, end - from);
        from = end + 2;
        const size_t equals = line.find('=');
        if (++number > 30 && equals != std::string::npos) {
            if (number % 13 == 0)
                line.insert(line.find_first_of(" =("), "_Own");
            else if (number % 17 == 0)
                line[equals] = ' ';
            else if (number % 19 == 0 && line.find_first_of("0123456789", equals) != std::string::npos)
                line[line.find_first_of("0123456789", equals)] = 'Z';
            else if (number % 23 == 0 && line.find('"') != std::string::npos)
                line.erase(line.rfind('"'), 1);
            else if (number % 11 == 0)
                line += " ; " + std::string(80, '-');
        }
        out += line;
        out += "\r\n";
    }
    return out;
}

bool Write(const char* path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (file) return true;
    std::cerr << "taluna_training_text: cannot write " << path << '\n';
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: taluna_training_text <bytes> <sound.gsd> <faulty.gsd>\n";
        return 2;
    }
    const std::string text = GenerateGsd(std::strtoul(argv[1], nullptr, 10));
    return Write(argv[2], text) && Write(argv[3], WithFaults(text)) ? 0 : 1;
}
