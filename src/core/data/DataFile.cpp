// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/DataFile.h"

#include "app/AtomicFile.h"
#include "app/MRUFilesUnit.h"
#include "app/Messages.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/MemoryAdvice.h"
#include "data/Procif.h"
#include "data/TableEdit.h"
#include "data/Transfrm.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivspc {

namespace {

// Reading goes through a buffer small enough to stay in the cache while its lines are parsed.
constexpr std::size_t kReadBlockSize = std::size_t{1} << 18;
const char* const kDescriptionCaptions[] = {"", "Title:", "USL:", "Target:", "LSL:"};

// Closes a descriptor on every exit path.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Reads up to size bytes, retrying interrupted and short reads; -1 on error.
long ReadBlock(int fd, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

// True when text is well-formed UTF-8.
bool IsUtf8(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t more = 0;
        if (c >= 0xC2 && c <= 0xDF)
            more = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            more = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            more = 3;
        else
            return false;
        if (n - i <= more) return false;
        for (std::size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (unsigned char c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() != prefix.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

// The description row a line fills (1..4), or 0.
int DescriptionRowOf(std::string_view line, std::size_t& colon) {
    // "TARGET:" is the longest caption, so only the first seven characters can hold its colon.
    colon = line.substr(0, 7).find(':');
    if (colon == std::string_view::npos) return 0;
    std::string_view head = line.substr(0, colon + 1);
    if (StartsWithIgnoringCase(head, "TITLE:")) return kTitleRow;
    if (StartsWithIgnoringCase(head, "USL:")) return kUSLRow;
    if (StartsWithIgnoringCase(head, "TARGET:")) return kTargetRow;
    if (StartsWithIgnoringCase(head, "LSL:")) return kLSLRow;
    return 0;
}

// Splits a first line as names. False when it is no names line: the line holds no character
// outside numbers, some name is a number (or a missing-value mark), or there is no name at all (an
// empty field is a column without a name, "Col" + its number). "E" or "-" is a name, not a number.
bool SplitNamesLine(std::string_view line, std::vector<std::string>& names, bool& cut) {
    if (line.empty() || !HasNonNumericChar(line)) return false;
    cut = SplitHeaderLine(line, names);
    bool anyName = false;
    for (const std::string& n : names) {
        if (n.empty()) continue;
        if (IsNumberText(n)) return false;
        anyName = true;
    }
    return anyName;
}

// A line the reader takes for a comment or a description line, whatever else it holds.
bool ReadsAsCommentOrDescription(std::string_view line) {
    std::size_t colon = 0;
    return (!line.empty() && line[0] == '*') || DescriptionRowOf(line, colon) != 0;
}

// Turns file lines into the table, one line at a time.
class TableReader {
public:
    // checkUtf8: report texts that are not UTF-8 (NotUtf8), so the file can be read again as Latin-1.
    TableReader(TDataTable& table, int expectedRows, bool checkUtf8)
        : table_(table), expectedRows_(expectedRows), checkUtf8_(checkUtf8) {}

    bool NotUtf8() const { return notUtf8_; }
    // Most of the texts kept are control characters (or, read as Latin-1, characters beyond ASCII):
    // the file is no text, whatever its name.
    bool MostlyNotText() const { return odd_ * 2 > chars_; }

    void Line(std::string_view line) {
        ++lineNumber_;
        if (!line.empty() && line[0] == '*') return;
        std::size_t colon = 0;
        if (int row = DescriptionRowOf(line, colon)) {
            Description(row, line.substr(colon + 1));
            return;
        }
        if (lineNumber_ == 1 && Names(line)) return;
        if (!line.empty()) Data(line);
    }

    void Finish() {
        for (int row = kTitleRow; row <= kLSLRow; ++row) {
            auto& texts = descriptions_[static_cast<std::size_t>(row)];
            for (int c = 1; c <= table_.ColumnCount() && static_cast<std::size_t>(c) < texts.size(); ++c)
                if (!texts[static_cast<std::size_t>(c)].empty()) {
                    Tally(texts[static_cast<std::size_t>(c)]);
                    table_.SetDescription(c, row, std::move(texts[static_cast<std::size_t>(c)]));
                }
        }
        table_.SetRowCount(std::max(rows_, 1));
        const auto rows = static_cast<std::size_t>(table_.RowCount()) + 1;
        for (int c = 1; c <= table_.ColumnCount(); ++c) {
            const auto col = static_cast<std::size_t>(c);
            if (!text_[col]) values_[col].resize(rows, MissingValue);
        }
    }

    // The converted columns (index 1..C) and the text flags, for the numeric cache.
    std::vector<std::vector<double>>& ConvertedValues() { return values_; }
    const std::vector<std::uint8_t>& TextColumns() const { return text_; }

    bool Truncated() const { return truncated_; }
    int Rows() const { return rows_; }
    // Lines seen, empty ones included.
    int Lines() const { return lineNumber_; }

private:
    // Numbers are plain ASCII; only texts need the check.
    void CheckText(std::string_view text) {
        if (checkUtf8_ && !notUtf8_ && !IsUtf8(text)) notUtf8_ = true;
    }

    // Counts the characters of a text the table keeps, and those no text file holds: control
    // characters other than the blanks, and (in a file read as Latin-1) characters beyond ASCII.
    // Only kept texts count, so a saved table never looks less like text than the file it came from.
    void Tally(std::string_view text) {
        for (const char ch : text) {
            const auto b = static_cast<unsigned char>(ch);
            if (b < 0x80) {
                ++chars_;
                if ((b < 0x20 && b != '\t' && b != '\n' && b != '\v' && b != '\f' && b != '\r') || b == 0x7F)
                    ++odd_;
            } else if (b >= 0xC0) { // the lead byte of a character
                ++chars_;
                if (!checkUtf8_) ++odd_;
            }
        }
    }

    void Description(int row, std::string_view rest) {
        CheckText(rest);
        // Files written by the program put a tab after the colon; a value written straight after
        // it ("USL:10") keeps its first character.
        if (!rest.empty() && (rest[0] == '\t' || rest[0] == ',' || rest[0] == ' ')) rest.remove_prefix(1);
        auto& target = descriptions_[static_cast<std::size_t>(row)];
        if (target.empty()) target.resize(kMaxColumns + 1);
        std::size_t field = 0;
        ForEachField(rest, '\t', true, [&](std::string_view text) {
            if (++field > static_cast<std::size_t>(kMaxColumns)) {
                truncated_ = true;
                return false;
            }
            target[field] = std::string(CharPrefix(text, kMaxFieldChars));
            return true;
        });
    }

    bool Names(std::string_view line) {
        CheckText(line);
        std::vector<std::string> names;
        bool cut = false;
        if (!SplitNamesLine(line, names, cut)) return false;
        truncated_ = truncated_ || cut;
        table_.SetColumnCount(static_cast<int>(names.size()));
        table_.ReserveRows(expectedRows_);
        for (std::size_t i = 0; i < names.size(); ++i) {
            int col = static_cast<int>(i) + 1;
            Tally(names[i]);
            table_.SetColumnName(col, names[i].empty() ? "Col" + std::to_string(col) : names[i]);
        }
        return true;
    }

    void Data(std::string_view line) {
        if (const auto* firstTab = static_cast<const char*>(std::memchr(line.data(), '\t', line.size()))) {
            // Tab-delimited, the usual case: each field is stored as it is found. A tab at the
            // very end ends the last field without starting another.
            ++rows_;
            if (rows_ > table_.RowCount()) table_.AppendRow();
            std::size_t col = 0;
            ForEachField(
                line, '\t', false,
                [&](std::string_view field) {
                    if (++col > static_cast<std::size_t>(kMaxColumns)) {
                        truncated_ = true;
                        return false;
                    }
                    Field(col, field);
                    return true;
                },
                firstTab);
            return;
        }
        SplitDataLine(line, fields_);
        std::size_t n = fields_.size();
        if (n > static_cast<std::size_t>(kMaxColumns)) {
            truncated_ = true;
            n = kMaxColumns;
        }
        if (n == 0) return;
        ++rows_;
        if (rows_ > table_.RowCount()) table_.AppendRow();
        for (std::size_t i = 0; i < n; ++i)
            Field(i + 1, fields_[i]);
    }

    // Stores field `col` of the current row and converts it once, while the text is in the cache.
    void Field(std::size_t col, std::string_view field) {
        if (static_cast<int>(col) > table_.ColumnCount()) {
            table_.SetColumnCount(static_cast<int>(col));
            table_.ReserveRows(expectedRows_);
        }
        const auto row = static_cast<std::size_t>(rows_);
        table_.SetCell(static_cast<int>(col), rows_, field);
        if (text_[col]) {
            CheckText(field);
            Tally(field);
            return;
        }
        auto& values = values_[col];
        if (values.capacity() == 0) {
            values.reserve(static_cast<std::size_t>(expectedRows_) + 1);
            AdviseHugePages(values.data(), values.capacity() * sizeof(double));
        }
        double v = MissingValue;
        if (NumericCellValue(field, v)) {
            chars_ += field.size();
            if (values.size() == row) {
                values.push_back(v);
            } else {
                values.resize(row + 1, MissingValue);
                values[row] = v;
            }
        } else {
            CheckText(field);
            Tally(field);
            text_[col] = 1;
            std::vector<double>().swap(values);
        }
    }

    TDataTable& table_;
    int expectedRows_;
    bool checkUtf8_;
    bool notUtf8_ = false;
    std::vector<std::string_view> fields_;
    std::vector<std::vector<double>> values_ = std::vector<std::vector<double>>(kMaxColumns + 1);
    std::vector<std::uint8_t> text_ = std::vector<std::uint8_t>(kMaxColumns + 1, 0);
    std::array<std::vector<std::string>, 5> descriptions_;
    int lineNumber_ = 0;
    int rows_ = 0;
    bool truncated_ = false;
    std::size_t chars_ = 0;
    std::size_t odd_ = 0;
};

// Binary: the file holds a NUL byte. Utf16: it starts with a UTF-16 byte-order mark.
enum class ReadOutcome { Done, NotUtf8, ReadError, Binary, Utf16 };

// Reads an open file into a new, empty table: blocks into lines, lines into the reader.
class FileLoader {
public:
    FileLoader(int fd, double fileSize, TDataTable& table)
        : fd_(fd), fileSize_(fileSize), table_(table), buffer_(kReadBlockSize) {}

    // With latin1 every byte is one character; otherwise the text must be UTF-8, and NotUtf8
    // asks for a second reading as Latin-1 (from a new table, after Rewind).
    ReadOutcome Read(bool latin1);
    bool Rewind() {
        if (::lseek(fd_, 0, SEEK_SET) == 0) return true;
        error_ = errno ? errno : EIO;
        return false;
    }
    // Null when not even the first block could be read.
    TableReader* Reader() { return reader_.get(); }
    // The errno of a failed read.
    int Error() const { return error_; }

private:
    // The size of the next block in buffer_; -1 (with error_ set) on a read error.
    long NextBlock() {
        const long n = ReadBlock(fd_, buffer_.data(), buffer_.size());
        if (n < 0) error_ = errno ? errno : EIO;
        return n;
    }
    void Start(std::string_view firstBlock, bool latin1);
    void Block(std::string_view block);
    void Piece(std::string_view piece);
    void Line(std::string_view line) {
        if (!latin1_) {
            reader_->Line(line);
            return;
        }
        converted_ = Latin1ToUtf8(line);
        reader_->Line(converted_);
    }

    int fd_;
    double fileSize_;
    TDataTable& table_;
    std::vector<char> buffer_;
    std::unique_ptr<TableReader> reader_;
    int error_ = 0;
    bool latin1_ = false;
    char terminator_ = '\n'; // the file's main line end
    char other_ = '\r';      // the other one, found in mixed files
    std::string carry_;      // the unfinished last line of a block
    std::string converted_;  // a Latin-1 line as UTF-8
};

ReadOutcome FileLoader::Read(bool latin1) {
    reader_.reset();
    carry_.clear();
    table_.Reset();
    table_.SetRowCount(0);
    long n = NextBlock();
    if (n < 0) return ReadOutcome::ReadError;
    Platform& platform = CurrentPlatform();
    std::string_view block(buffer_.data(), static_cast<std::size_t>(n));
    if (block.substr(0, 2) == "\xFF\xFE" || block.substr(0, 2) == "\xFE\xFF") return ReadOutcome::Utf16;
    Start(block, latin1);
    if (block.substr(0, 3) == "\xEF\xBB\xBF") block.remove_prefix(3);
    double bytesRead = 0;
    while (n > 0) {
        // A NUL is in no text file: programs, images and archives are full of them.
        if (std::memchr(block.data(), '\0', block.size())) return ReadOutcome::Binary;
        Block(block);
        if (reader_->NotUtf8()) return ReadOutcome::NotUtf8;
        bytesRead += static_cast<double>(n);
        platform.ProgressSet(static_cast<int>(bytesRead * 100 / fileSize_));
        platform.KeepResponsive();
        if ((n = NextBlock()) < 0) return ReadOutcome::ReadError;
        block = std::string_view(buffer_.data(), static_cast<std::size_t>(n));
    }
    if (!carry_.empty()) Piece(carry_);
    return reader_->NotUtf8() ? ReadOutcome::NotUtf8 : ReadOutcome::Done;
}

// The first block tells the line ends and the length of a line, which sizes the columns once
// instead of letting them grow by doubling.
void FileLoader::Start(std::string_view firstBlock, bool latin1) {
    const auto lf = static_cast<std::size_t>(std::count(firstBlock.begin(), firstBlock.end(), '\n'));
    const auto cr = static_cast<std::size_t>(std::count(firstBlock.begin(), firstBlock.end(), '\r'));
    terminator_ = cr > lf ? '\r' : '\n';
    other_ = terminator_ == '\n' ? '\r' : '\n';
    const double lines = std::max<double>(static_cast<double>(std::max(lf, cr)), 1.0);
    const double perLine = std::max<double>(static_cast<double>(firstBlock.size()) / lines, 2.0);
    const int expectedRows =
        static_cast<int>(std::min<double>(fileSize_ / perLine * 1.02 + 16, INT32_MAX / 2));
    table_.ReserveRows(expectedRows);
    latin1_ = latin1;
    reader_ = std::make_unique<TableReader>(table_, expectedRows, !latin1);
}

// Cuts a block at the main line ends; a line cut by the block's end waits in carry_.
void FileLoader::Block(std::string_view block) {
    const char* p = block.data();
    const char* stop = p + block.size();
    while (p < stop) {
        const auto* end =
            static_cast<const char*>(std::memchr(p, terminator_, static_cast<std::size_t>(stop - p)));
        if (!end) break;
        std::string_view piece(p, static_cast<std::size_t>(end - p));
        if (!carry_.empty()) {
            carry_.append(piece);
            Piece(carry_);
            carry_.clear();
        } else {
            Piece(piece);
        }
        p = end + 1;
    }
    if (p < stop) carry_.append(p, static_cast<std::size_t>(stop - p));
}

// A piece between two main line ends; it may still hold the other kind of line end (mixed
// files) or half of a CR LF pair.
void FileLoader::Piece(std::string_view piece) {
    if (terminator_ == '\n' && !piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    if (terminator_ == '\r' && !piece.empty() && piece.front() == '\n') piece.remove_prefix(1);
    std::size_t start = 0;
    while (true) {
        const std::size_t at = piece.find(other_, start);
        if (at == std::string_view::npos) {
            Line(piece.substr(start));
            return;
        }
        Line(piece.substr(start, at - start));
        start = at + 1;
        // A CR LF pair inside a piece is one line end.
        if (other_ == '\r' && start < piece.size() && piece[start] == '\n') ++start;
    }
}

} // namespace

namespace {

// The new empty table after the save question: Process If and the transform go off, the change
// counters move.
void StartNewTable() {
    NewDataTable();
    ProcessIfOff();
    TransformOff();
    ++NewTableCount;
    DataChanged = true;
    ColumnsChanged = true;
}

// A refused or failed load: the message names the file and says why; the open table stays as it was.
bool LoadRefused(const std::string& path, const std::string& title, const std::string& why, int status) {
    StatErrorCode = status;
    ShowError(title + "\r\n\r\n" + path + "\r\n\r\n" + why);
    return false;
}

const char* const kNotAFile = "It is a folder, a device or a pipe, not a file.";

} // namespace

bool NewData() {
    StatErrorCode = 0;
    if (!OfferToSaveModifiedTable()) {
        StatErrorCode = 1;
        return false;
    }
    StartNewTable();
    if (OnTableReplaced) OnTableReplaced();
    return true;
}

bool LoadFile(const std::string& path) {
    // Only a regular file is read: a folder or a device is no data file, and opening a named pipe
    // would wait for a writer that may never come. The file is checked and opened before the
    // table is touched, so a file that cannot be read costs the user nothing.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        StatErrorCode = errno ? errno : ENOENT;
        ShowError("File Error");
        return false;
    }
    if (!S_ISREG(info.st_mode))
        return LoadRefused(path, "Not a Data File!", kNotAFile, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    // Non-blocking, in case the name was replaced by a pipe since it was looked at.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0) {
        StatErrorCode = errno ? errno : EIO;
        ShowError("File Error");
        return false;
    }
    if (!S_ISREG(info.st_mode)) return LoadRefused(path, "Not a Data File!", kNotAFile, EINVAL);
    ::fcntl(file.Get(), F_SETFL, ::fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);
    StatErrorCode = 0;
    if (!OfferToSaveModifiedTable()) {
        StatErrorCode = 1;
        return false;
    }

    // The file is read into a table of its own, which replaces the open one only when it was
    // read to its end and holds data.
    TDataTable loaded;
    ReadOutcome outcome = ReadOutcome::Done;
    bool truncated = false;
    {
        BusyCursor busy;
        Platform& platform = CurrentPlatform();
        platform.ProgressBegin("Loading File...");
        FileLoader loader(file.Get(), std::max<double>(static_cast<double>(info.st_size), 1.0), loaded);
        outcome = loader.Read(false);
        // Not UTF-8: every byte is a Latin-1 character. Read it again from the start.
        if (outcome == ReadOutcome::NotUtf8)
            outcome = loader.Rewind() ? loader.Read(true) : ReadOutcome::ReadError;
        platform.ProgressEnd();
        TableReader* reader = loader.Reader();
        switch (outcome) {
        case ReadOutcome::ReadError:
            return LoadRefused(path, "File Error!",
                               std::string("The file could not be read to its end (") +
                                   std::strerror(loader.Error()) + "). The open table is kept.",
                               loader.Error());
        case ReadOutcome::Binary:
            return LoadRefused(path, "Not a Text File!",
                               "It holds NUL bytes, as programs and pictures do; a data file is text.",
                               EINVAL);
        case ReadOutcome::Utf16:
            return LoadRefused(
                path, "Not a Text File!",
                "It is Unicode (UTF-16) text. Save it as UTF-8 or ANSI text and open it again.", EINVAL);
        case ReadOutcome::NotUtf8:
        case ReadOutcome::Done: break;
        }
        if (reader->Lines() == 0) return LoadRefused(path, "No Data!", "The file is empty.", EINVAL);
        if (reader->Rows() == 0)
            return LoadRefused(path, "No Data!",
                               "The file holds no data line, only comments, names or descriptions.", EINVAL);
        if (reader->MostlyNotText())
            return LoadRefused(path, "Not a Text File!",
                               "Most of what it holds is not text, as in programs and pictures.", EINVAL);
        reader->Finish();
        truncated = reader->Truncated();

        StartNewTable();
        DataTable() = std::move(loaded);
        DataTable().FileName = path;
        DataTable().Modified = false;
        DataList.AdoptConvertedValues(std::move(reader->ConvertedValues()), reader->TextColumns());
    }
    StatErrorCode = 0;
    if (truncated) ShowWarning("The Maximum Number of Columns was Exceeded. Columns Truncated.");
    AskBlankCommas = true;
    MRUFiles().Add(path);
    if (OnTableReplaced) OnTableReplaced();
    return true;
}

bool HasCustomNames() {
    const TDataTable& table = DataTable();
    for (int c = 1; c <= table.ColumnCount(); ++c) {
        std::string expected = "COL" + std::to_string(c);
        const std::string& name = table.ColumnName(c);
        if (name.size() != expected.size()) return true;
        for (std::size_t i = 0; i < name.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(name[i])) != expected[i]) return true;
    }
    return false;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Texts the file layout cannot hold as they are: counted while writing, reported once afterwards.
class LayoutLosses {
public:
    void Add(std::string what) {
        if (count_++ == 0) first_ = std::move(what);
    }
    int Count() const { return count_; }
    std::string Message() const {
        return "The file was saved, but " + std::to_string(count_) +
               (count_ == 1 ? " text does" : " texts do") +
               " not fit the data file layout and will read back changed.\r\n" + first_ + ".";
    }

private:
    int count_ = 0;
    std::string first_;
};

// What a text in the file cannot hold: the delimiters, and NUL, which marks a file that is no text.
constexpr std::string_view kUnwritable("\t\r\n\0", 4);

// Cell texts cannot hold the delimiters of the file: a tab, a line break or a NUL becomes a blank.
std::string Cleaned(std::string_view s, bool& changed) {
    std::string clean(s);
    changed = false;
    for (char& ch : clean) {
        if (kUnwritable.find(ch) != std::string_view::npos) {
            ch = ' ';
            changed = true;
        }
    }
    return clean;
}

std::string DefaultName(int fileColumn) { return "Col" + std::to_string(fileColumn); }

// True when `name`, as field `index` (0-based) of a names line of `count` fields, reads back as it is.
bool NameReadsBack(const std::string& name, int index, int count) {
    if (name.empty() || IsNumberText(name)) return false;
    // Without a tab the line is split on blanks and commas.
    if (count == 1 && name.find_first_of(" ,") != std::string::npos) return false;
    return index > 0 || !ReadsAsCommentOrDescription(name);
}

// One data row as a line. A one-column line that is empty or holds a blank or a comma ends in a
// tab, so that it reads back as one cell (an empty line would be skipped, and a line without a tab
// is split on blanks and commas).
void RowLine(const TDataTable& table, const CellRange& range, int row, std::string& line,
             LayoutLosses& losses) {
    line.clear();
    for (int c = range.FirstColumn; c <= range.LastColumn; ++c) {
        if (c > range.FirstColumn) line += '\t';
        const std::string_view cell = table.Cell(c, row);
        if (cell.find_first_of(kUnwritable) == std::string_view::npos) {
            line += cell;
            continue;
        }
        bool changed = false;
        line += Cleaned(cell, changed);
        losses.Add("Row " + std::to_string(row) + " of " + table.ColumnName(c) +
                   ": a tab, line break or NUL in a cell is written as a blank");
    }
    if (range.FirstColumn == range.LastColumn &&
        (line.empty() || line.find_first_of(" ,") != std::string::npos))
        line += '\t';
    if (ReadsAsCommentOrDescription(line))
        losses.Add("Row " + std::to_string(row) +
                   " starts like a comment or a description line and is skipped");
}

// The names line to write; empty when none is needed. Custom names go out when asked for; a names
// line of default names also goes out when the file would not read back without one: when the
// first row would be taken for names, or when the last column is empty throughout (a trailing tab
// adds no column). A name the layout cannot carry is written as its default.
std::vector<std::string> NamesToWrite(const TDataTable& table, const CellRange& range, bool withNames,
                                      bool descriptionsFirst, LayoutLosses& losses) {
    const int count = range.LastColumn - range.FirstColumn + 1;
    // Exact comparison: a name that differs from its default only in case ("col1") is written too.
    bool custom = false;
    for (int c = 1; c <= table.ColumnCount() && withNames && !custom; ++c)
        custom = table.ColumnName(c) != DefaultName(c);
    std::vector<std::string> names;
    if (custom) {
        // A names line needs a character outside numbers somewhere: names such as "E" or "-" alone
        // would make it a data line.
        bool lineReadsAsNames = false;
        for (int c = range.FirstColumn; c <= range.LastColumn && !lineReadsAsNames; ++c)
            lineReadsAsNames = HasNonNumericChar(table.ColumnName(c));
        for (int c = range.FirstColumn; c <= range.LastColumn; ++c) {
            const int index = c - range.FirstColumn;
            bool changed = false;
            std::string name = Cleaned(table.ColumnName(c), changed);
            if (changed || !NameReadsBack(name, index, count) ||
                (!lineReadsAsNames && !HasNonNumericChar(name))) {
                losses.Add("The column name \"" + table.ColumnName(c) +
                           "\" cannot be read back as a name; it is written as " + DefaultName(index + 1));
                name = DefaultName(index + 1);
            }
            if (CharCount(name) > static_cast<std::size_t>(kMaxFieldChars))
                losses.Add("The column name \"" + name +
                           "\" is longer than 80 characters and is cut when read");
            names.push_back(std::move(name));
        }
        return names;
    }
    bool needed = false;
    if (range.FirstRow <= range.LastRow && !descriptionsFirst) {
        std::string first;
        LayoutLosses ignored;
        RowLine(table, range, range.FirstRow, first, ignored);
        std::vector<std::string> fields;
        bool cut = false;
        needed = !ReadsAsCommentOrDescription(first) && SplitNamesLine(first, fields, cut);
    }
    if (!needed && count > 1) {
        needed = true;
        for (int r = range.FirstRow; r <= range.LastRow && needed; ++r)
            needed = table.Cell(range.LastColumn, r).empty();
    }
    if (needed)
        for (int i = 1; i <= count; ++i)
            names.push_back(DefaultName(i));
    return names;
}

// Writes a line, preceded by a byte-order mark when it is the file's first line and begins with one
// (the reader drops one mark at the start of a file).
class LineWriter {
public:
    explicit LineWriter(TAtomicFile& out) : out_(out) {}
    void Line(std::string_view line) {
        if (first_ && line.substr(0, kByteOrderMark.size()) == kByteOrderMark) out_.Write(kByteOrderMark);
        first_ = false;
        out_.Write(line);
        out_.Write("\r\n");
    }

private:
    TAtomicFile& out_;
    bool first_ = true;
};

} // namespace

bool WriteDataFile(const std::string& path, bool withNames, bool selectionOnly, bool withDescriptions,
                   const CellRange& selection) {
    TDataTable& table = DataTable();
    table.FileName = path;
    BusyCursor busy;

    CellRange range{1, table.ColumnCount(), 1, table.RowCount()};
    if (selectionOnly) {
        range.FirstColumn = std::clamp(selection.FirstColumn, 1, table.ColumnCount());
        range.LastColumn = std::clamp(selection.LastColumn, range.FirstColumn, table.ColumnCount());
        range.FirstRow = std::clamp(selection.FirstRow, 1, std::max(table.RowCount(), 1));
        range.LastRow = std::clamp(selection.LastRow, range.FirstRow, std::max(table.RowCount(), 1));
    }

    // Description rows that have a text, in their order.
    std::vector<int> descriptionRows;
    for (int row = kTitleRow; row <= kLSLRow && withDescriptions && !selectionOnly; ++row) {
        bool any = false;
        for (int c = 1; c <= table.ColumnCount() && !any; ++c)
            any = !table.Description(c, row).empty();
        if (any) descriptionRows.push_back(row);
    }

    TAtomicFile out(path);
    if (!out.Open()) {
        ShowError("Error Writing File");
        return false;
    }
    LayoutLosses losses;
    LineWriter writer(out);
    std::string line;
    const std::vector<std::string> names =
        NamesToWrite(table, range, withNames, !descriptionRows.empty(), losses);
    if (!names.empty()) {
        line.clear();
        for (std::size_t i = 0; i < names.size(); ++i)
            (line += i ? "\t" : "") += names[i];
        writer.Line(line);
    }
    for (int row : descriptionRows) {
        line = kDescriptionCaptions[row];
        for (int c = 1; c <= table.ColumnCount(); ++c) {
            bool changed = false;
            const std::string& text = table.Description(c, row);
            (line += '\t') += Cleaned(text, changed);
            if (changed || CharCount(text) > static_cast<std::size_t>(kMaxFieldChars))
                losses.Add(std::string(kDescriptionCaptions[row]) + " of " + table.ColumnName(c) +
                           ": a description holds at most 80 characters and no tab, line break or NUL");
        }
        writer.Line(line);
    }
    for (int r = range.FirstRow; r <= range.LastRow; ++r) {
        RowLine(table, range, r, line, losses);
        writer.Line(line);
    }
    if (!out.Commit()) {
        ShowError("Error Writing File");
        return false;
    }
    table.Modified = false;
    MRUFiles().Add(path);
    if (OnTableSaved) OnTableSaved();
    if (losses.Count() > 0) ShowWarning(losses.Message());
    return true;
}

bool Save() {
    const std::string& name = DataTable().FileName;
    if (!name.empty()) return WriteDataFile(name, true, false, true);
    return SaveAsWithConfiguration ? SaveAsWithConfiguration() : false;
}

} // namespace kivspc
