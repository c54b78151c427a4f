// Runs every script file of the scripts folder and compares what it logged, tick by tick, and
// the messages it reported with the file's ".expected" sibling: "T: entries" for the calls of
// tick T, "! text" for each message in order, "done: T" for the tick whose update left no thread.
#include <filesystem>

#include "scripttest.h"

namespace {

class ScriptFilesTest : public scripttest::ScriptTest {};

TEST_F(ScriptFilesTest, EveryScriptGivesItsExpectedLog)
{
    std::filesystem::path folder = std::filesystem::path(ENGINE_SOURCE_DIR) / "tests" / "script" / "scripts";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".txt")
            continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        boxes.Clear();
        CScriptLibrary lib;
        lib.LoadFile(entry.path().string());
        CScriptRunner r;
        r.pLibrary = &lib;
        r.StartThread("main", "main");
        std::vector<std::string> actual;
        for (const std::string& text : boxes.Texts())
            actual.push_back("! " + text);
        for (int tick = 0; tick < 50 && !r.threads.empty(); ++tick) {
            scripttest::Log().clear();
            r.Update();
            std::string line = scripttest::JoinedLog();
            if (!line.empty())
                actual.push_back(std::to_string(tick) + ": " + line);
            if (r.threads.empty())
                actual.push_back("done: " + std::to_string(tick));
        }
        std::filesystem::path expected = entry.path();
        expected.replace_extension(".expected");
        CStringList lines;
        lines.LoadFromFile(expected.string());
        EXPECT_EQ(actual, lines.Items);
    }
    EXPECT_GE(files, 6);
}

}  // namespace
