#include "store/history.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <type_traits>

#include "sources/format.h"
#include "sources/handle.h"
#include "sources/utf8.h"

// The history files on disk: appending, rotating, deleting and exporting.
namespace ovra {

namespace {

using FileHandle = KernelHandle;

FileHandle openFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return FileHandle(CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Size of a file by name; 0 when it is missing.
uint64_t fileBytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool writeAll(HANDLE file, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const DWORD piece = DWORD(std::min<size_t>(text.size() - done, historyCopyChunkBytes));
        DWORD written = 0;
        if (!WriteFile(file, text.data() + done, piece, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// Appends the buffered rows to the file in one write. False when the file cannot
// be opened (held by another program without write sharing, say) or written.
bool appendRows(const std::wstring& path, const std::string& rows) {
    // Read access as well, to look at the last byte; appending only ever writes at
    // the end, wherever the file pointer stands.
    FileHandle file =
        openFile(path, FILE_APPEND_DATA | FILE_READ_DATA, FILE_SHARE_READ, OPEN_ALWAYS);
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return false;
    char lastByte = '\n';
    if (size.QuadPart > 0) {
        LARGE_INTEGER last{};
        last.QuadPart = size.QuadPart - 1;
        DWORD read = 0;
        // An unreadable last byte counts as a partial row: a blank line is harmless,
        // a row glued to a fragment is not.
        if (!SetFilePointerEx(file.get(), last, nullptr, FILE_BEGIN) ||
            !ReadFile(file.get(), &lastByte, 1, &read, nullptr) || read != 1)
            lastByte = 0;
    }
    return writeAll(file.get(), appendText(uint64_t(size.QuadPart), lastByte, rows));
}

enum class ReadResult { Missing, Read, Failed };

// Reads a whole file in bounded pieces until its end, so a file that grew since
// it was opened is still copied completely.
ReadResult readWholeFile(const std::wstring& path, std::string& content, DWORD& error) {
    FileHandle file =
        openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (!file) return ReadResult::Missing;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0)
        content.reserve(size_t(size.QuadPart));
    std::unique_ptr<char[]> chunk(new char[historyCopyChunkBytes]);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk.get(), historyCopyChunkBytes, &read, nullptr)) {
            error = GetLastError();
            return ReadResult::Failed;
        }
        if (read == 0) return ReadResult::Read;
        content.append(chunk.get(), read);
    }
}

std::wstring fullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path.c_str(), DWORD(std::size(buffer)), buffer, nullptr);
    if (length == 0 || length >= std::size(buffer)) return path;
    return std::wstring(buffer, length);
}

// Whether two names lead to the same file: the same full path (case-insensitive),
// or, when both exist, the same file on the same volume (short names, links).
bool sameFile(const std::wstring& a, const std::wstring& b) {
    if (CompareStringOrdinal(fullPath(a).c_str(), -1, fullPath(b).c_str(), -1, TRUE) == CSTR_EQUAL)
        return true;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    FileHandle first = openFile(a, 0, share, OPEN_EXISTING);
    FileHandle second = first ? openFile(b, 0, share, OPEN_EXISTING) : FileHandle();
    BY_HANDLE_FILE_INFORMATION x, y;
    if (!second || !GetFileInformationByHandle(first.get(), &x) ||
        !GetFileInformationByHandle(second.get(), &y))
        return false;
    return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

} // namespace

std::wstring localTimeText(uint64_t fileTime) {
    FILETIME utc{DWORD(fileTime), DWORD(fileTime >> 32)};
    FILETIME local;
    SYSTEMTIME fields;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) return {};
    return formatLocalTime(LocalTime{fields.wYear, fields.wMonth, fields.wDay, fields.wHour,
                                     fields.wMinute, fields.wSecond});
}

std::string formatCsvRow(const Sample& sample) {
    return csvRow(wideToUtf8(localTimeText(sample.time)), sample);
}

void historyFlush(HistoryStore& store) {
    if (store.writeBuffer.empty()) return;
    // Rows that cannot be written now stay for the next flush (bounded by the append).
    if (appendRows(store.path, store.writeBuffer)) {
        store.writeBuffer.clear();
        store.pendingRows = 0;
    }
    if (fileBytes(store.path) > historyRotateBytes)
        MoveFileExW(store.path.c_str(), store.oldPath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool historyClear(HistoryStore& store, std::wstring& error) {
    store.writeBuffer.clear();
    store.pendingRows = 0;
    historyClearRing(store);
    bool cleared = true;
    for (const std::wstring* path : {&store.path, &store.oldPath}) {
        if (DeleteFileW(path->c_str())) continue;
        const DWORD code = GetLastError();
        // Already gone, or its folder is: nothing left to delete.
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) continue;
        cleared = false;
        error = windowsErrorText(code);
    }
    return cleared;
}

bool historyExport(HistoryStore& store, const std::wstring& destination, std::wstring& error) {
    // Creating the destination would empty the very file the rows come from.
    if (sameFile(destination, store.path) || sameFile(destination, store.oldPath)) {
        error = L"Berkas tujuan adalah berkas riwayat Ovra Monitor sendiri. Pilih nama berkas "
                L"lain.";
        return false;
    }
    if (store.saving) historyFlush(store);

    // Every source is read before the destination is created.
    std::string output = csvHeader;
    bool fileUsed = false;
    for (const std::wstring* path : {&store.oldPath, &store.path}) {
        std::string content;
        DWORD code = 0;
        const ReadResult result = readWholeFile(*path, content, code);
        if (result == ReadResult::Failed) {
            error = windowsErrorText(code);
            return false;
        }
        if (content.empty()) continue;
        fileUsed = true;
        appendFileRows(output, content);
    }
    if (!fileUsed) {
        for (uint64_t i = 0; i < store.count; ++i)
            output += formatCsvRow(historyAt(store, i));
    }

    FileHandle file = openFile(destination, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) {
        error = windowsErrorText(GetLastError());
        return false;
    }
    static const std::string byteOrderMark = "\xEF\xBB\xBF";
    if (!writeAll(file.get(), byteOrderMark) || !writeAll(file.get(), output)) {
        error = windowsErrorText(GetLastError());
        return false;
    }
    return true;
}

uint64_t historyFileBytes(const HistoryStore& store) {
    return fileBytes(store.path) + fileBytes(store.oldPath);
}

} // namespace ovra
