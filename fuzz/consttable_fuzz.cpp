// Constant table files on any bytes: read as a table set (one table a section) and as one table,
// every constant looked up, the tables merged, and a script importing the first table loaded.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/consttable.h"
#include "script/scriptbase.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    const std::string path = fuzz::WriteInput(data, size, "consts.txt");

    g_ConstTableSet.Clear();
    g_ConstTableSet.LoadFile(path);
    CConstTable merged;
    for (int t = 0; t < g_ConstTableSet.Count(); ++t) {
        CConstTable* table = g_ConstTableSet.Get(t);
        g_ConstTableSet.FindTable(table->name);
        for (int c = 0; c < table->consts.Count() && c < 32; ++c)
            table->Find(table->consts.Get(c)->name);
        merged.Merge(*table);
    }
    merged.Merge(merged);

    CConstTable single;
    single.LoadFile(path);
    for (int c = 0; c < single.consts.Count() && c < 32; ++c)
        single.Find(single.consts.Get(c)->name);

    if (g_ConstTableSet.Count() > 0 && g_ConstTableSet.Get(0)->consts.Count() > 0) {
        CConstTable* first = g_ConstTableSet.Get(0);
        CStringList lines;
        lines.Add("using const " + first->name);
        lines.Add("local x");
        lines.Add("x = " + first->consts.Get(0)->name + " + 1");
        CScriptLibrary library;
        library.AddScript(lines, "main");
        g_ExpressionPool.Clear();
    }
    g_ConstTableSet.Clear();
    return 0;
}
