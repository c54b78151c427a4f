#include "support/fuzzsupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "platform/seams.h"

namespace fuzz {

namespace {

// Never destroyed: the exit handler that removes the folder runs after static destructors.
const std::string& Folder()
{
    static const std::string& folder = *[] {
        char pattern[] = "/tmp/enginefuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Folder(), ignored);
        });
        return new std::string(made);
    }();
    return folder;
}

const std::filesystem::path& StartFolder()
{
    static const std::filesystem::path folder = std::filesystem::current_path();
    return folder;
}

}  // namespace

void Prepare()
{
    StartFolder();
    static const bool installed = [] {
        platform::seams::InstallMessageBoxRecorder();
        return true;
    }();
    (void)installed;
    platform::seams::RecordedMessageBoxes().clear();
}

void ReturnToStartFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(StartFolder(), ignored);
}

const std::string& InputFolder() { return Folder(); }

std::string WriteInput(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    const std::string path = Folder() + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return path;
}

std::uint8_t TakeByte(const std::uint8_t*& data, std::size_t& size)
{
    if (size == 0)
        return 0;
    --size;
    return *data++;
}

}  // namespace fuzz
