// SPDX-License-Identifier: GPL-3.0-or-later
// The data file reader: the input is a data file, loaded from disk as a user's file would be.
// Input: a byte of scripted answers, an options byte, then the file's bytes.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "data/DataFile.h"
#include "data/DataU.h"

namespace kivspc::fuzz {

int FuzzLoadFile(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    const std::uint8_t script = in.Byte();
    const std::uint8_t options = in.Byte();
    const TempFile input("input.kivs");
    const TempFile output("saved.kivs");
    const std::string& path = input.Path();
    const std::string& saved = output.Path();
    if (!WriteBytes(path, in.Rest())) return 0;
    // "Save As" for a modified table writes it beside the input, as the editor's dialog would.
    SaveAsWithConfiguration = [&] { return WriteDataFile(saved, options & 1, false, options & 2); };

    LoadFile(path);
    Check(platform.BusyDepth == 0, "the busy cursor is back after loading");

    // Loading over a modified table asks first; Cancel keeps the table as it is.
    TDataTable& table = DataTable();
    table.Modified = options & 4;
    ScriptAnswers(platform, script);
    const int columns = table.ColumnCount();
    const int rows = table.RowCount();
    const bool cancels = table.Modified && (script & 3) == 2;
    const bool loaded = LoadFile(path);
    Check(platform.BusyDepth == 0, "the busy cursor is back after loading again");
    if (cancels) {
        Check(!loaded, "a cancelled load reports that nothing was loaded");
        Check(table.ColumnCount() == columns && table.RowCount() == rows, "a cancelled load keeps the table");
    }

    // What was read is written out again (whole or a block) and read back.
    if (options & 8) {
        const CellRange block{static_cast<int>(in.IntIn(-1, 4)), static_cast<int>(in.IntIn(-1, 8)),
                              static_cast<int>(in.IntIn(-1, 4)), static_cast<int>(in.IntIn(-1, 8))};
        if (WriteDataFile(saved, options & 16, options & 32, options & 64, block)) LoadFile(saved);
        Check(platform.BusyDepth == 0, "the busy cursor is back after saving and loading");
    }
    return 0;
}

} // namespace kivspc::fuzz
