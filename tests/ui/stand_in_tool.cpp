// Stands in for ffprobe or ffmpeg (by the name it is linked under) where the
// real tool cannot be made to misbehave on purpose. The test picks the
// behaviour in BRENVOX_STAND_IN_<name>:
//   hang   print a probe's lines, start every .wav output it names (as a
//          split does before it is stopped), note the process id in
//          <name>.pid beside the link, then wait a minute
//   quiet  print nothing, write nothing, succeed
// Without a choice it prints a probe's lines and succeeds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

int main(int argc, char *argv[])
{
    const std::string self = argv[0];
    const std::string name = self.substr(self.find_last_of('/') + 1);
    const char *choice = std::getenv(("BRENVOX_STAND_IN_" + name).c_str());
    const std::string behaviour = choice ? choice : "";

    if (behaviour == "quiet")
        return 0;

    std::fputs("Input #0, wav, from 'source':\n"
               "  Duration: 00:00:07.00, bitrate: 705 kb/s\n"
               "  Stream #0:0: Audio: pcm_s16le, 44100 Hz, stereo, s16, 1411 kb/s\n",
               stderr);
    std::fflush(stderr);

    if (behaviour == "hang") {
        for (int i = 2; i < argc; ++i) {
            const std::string argument = argv[i] + (std::strncmp(argv[i], "file:", 5) == 0 ? 5 : 0);
            const bool output = std::string(argv[i - 1]) != "-i";
            if (output && argument.size() > 4 && argument.compare(argument.size() - 4, 4, ".wav") == 0) {
                if (FILE *partial = std::fopen(argument.c_str(), "w")) {
                    std::fputs("RIFF", partial);
                    std::fclose(partial);
                }
            }
        }
        if (FILE *pid = std::fopen((self + ".pid").c_str(), "w")) {
            std::fprintf(pid, "%ld\n", long(getpid()));
            std::fclose(pid);
        }
        std::this_thread::sleep_for(std::chrono::seconds(60));
    }
    return 0;
}
