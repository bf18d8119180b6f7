// Another user of a shared folder: each name in it, and each one that appears
// or leaves, soon links to the victim file (to its folder where a folder was);
// what held the name goes to "<name>.moved". Says "watching" once ready.
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

static std::string watched, victim;

static void Swap(const std::string &name)
{
    const std::string path = watched + '/' + name;
    struct stat held;
    const bool there = ::lstat(path.c_str(), &held) == 0;
    if (name.empty() || name == "." || name == ".." || name.find(".moved") != std::string::npos
        || (there && (S_ISLNK(held.st_mode) || ::rename(path.c_str(), (path + ".moved").c_str()) != 0)))
        return;
    ::symlink((there && S_ISDIR(held.st_mode) ? victim.substr(0, victim.rfind('/')) : victim).c_str(), path.c_str());
}

int main(int argc, char **argv)
{
    const int events = ::inotify_init1(IN_CLOEXEC);
    if (argc != 3 || ::inotify_add_watch(events, argv[1], IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE) < 0)
        return 1;
    watched = argv[1];
    victim = argv[2];
    for (DIR *folder = ::opendir(argv[1]); const dirent *entry = ::readdir(folder);)
        Swap(entry->d_name);
    std::puts("watching");
    std::fflush(stdout);
    alignas(inotify_event) char buffer[4096];
    for (ssize_t size; (size = ::read(events, buffer, sizeof buffer)) > 0;) {
        for (const char *at = buffer; at < buffer + size;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            Swap(event->len > 0 ? event->name : "");
            at += sizeof(inotify_event) + event->len;
        }
    }
}
