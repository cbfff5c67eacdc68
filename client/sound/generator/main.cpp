// Writes the table's sound files.
//   quellor_soundgen <common dir>            the tune and the cues under <common dir>
//   quellor_soundgen --phrase <in> <out>     a spoken phrase, trimmed and levelled
#include <cstdio>
#include <filesystem>
#include <string>

#include "Sounds.h"

namespace {

bool Write(const std::filesystem::path& dir, const char* name, const Synth::Samples& s)
{
    const std::filesystem::path path = dir / name;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec || !Synth::WriteWave(path.string(), s)) {
        std::fprintf(stderr, "quellor_soundgen: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--phrase") {
        Synth::Samples spoken;
        if (!Synth::ReadWave(argv[2], spoken)) {
            std::fprintf(stderr, "quellor_soundgen: %s is no readable wave file\n", argv[2]);
            return 1;
        }
        const Synth::Samples phrase = Sounds::Phrase(spoken);
        if (phrase.empty()) {
            std::fprintf(stderr, "quellor_soundgen: %s is silent\n", argv[2]);
            return 1;
        }
        return Synth::WriteWave(argv[3], phrase) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: quellor_soundgen <common dir> | --phrase <in.wav> <out.wav>\n");
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    bool ok = true;
    ok &= Write(dir, "music/majiang.wav", Sounds::BackgroundTune());
    ok &= Write(dir, "music/tishi.wav", Sounds::WarningTick());
    ok &= Write(dir, "pk/sys020.wav", Sounds::CardRaised());
    ok &= Write(dir, "pk/sys030.wav", Sounds::CardLowered());
    ok &= Write(dir, "pk/sys110.wav", Sounds::Hint());
    ok &= Write(dir, "pk/sys080.wav", Sounds::Pass());
    ok &= Write(dir, "pk/sys070.wav", Sounds::PlayShown());
    ok &= Write(dir, "pk/sys121.wav", Sounds::RoundWon());
    ok &= Write(dir, "pk/sys150.wav", Sounds::RoundLost());
    ok &= Write(dir, "voices/sys010.wav", Sounds::CardDealt());
    return ok ? 0 : 1;
}
