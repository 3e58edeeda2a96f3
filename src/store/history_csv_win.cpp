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

// Writes the text in bounded pieces; `done` counts the bytes that reached the file
// even when a later piece fails. 0, or the Windows error that stopped it.
DWORD writeAll(HANDLE file, const std::string& text, size_t& done) {
    done = 0;
    while (done < text.size()) {
        const DWORD piece = DWORD(std::min<size_t>(text.size() - done, historyCopyChunkBytes));
        DWORD written = 0;
        const BOOL ok = WriteFile(file, text.data() + done, piece, &written, nullptr);
        done += written;
        if (!ok) return GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;
    }
    return 0;
}

// Appends the waiting rows and drops from the buffer what reached the disk. 0, or
// the Windows error when the file cannot be opened (held by another program
// without write sharing, say) or written to the end.
DWORD appendRows(HistoryStore& store) {
    // Read access as well, to look at the last byte; appending only ever writes at
    // the end, wherever the file pointer stands.
    FileHandle file =
        openFile(store.path, FILE_APPEND_DATA | FILE_READ_DATA, FILE_SHARE_READ, OPEN_ALWAYS);
    if (!file) return GetLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return GetLastError();
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
    // A row cut by the last write is finished in place while the file is as that
    // write left it; otherwise the fragment gets its line end and the row comes whole.
    const uint64_t bytes = uint64_t(size.QuadPart);
    const size_t resumeAt =
        store.cutRowBytes > 0 && bytes == store.cutFileBytes ? size_t(store.cutRowBytes) : 0;
    const std::string prefix = resumeAt > 0 ? std::string() : appendText(bytes, lastByte, {});
    size_t written = 0;
    const DWORD error = writeAll(file.get(), prefix + store.writeBuffer.substr(resumeAt), written);
    const size_t rowBytes = written > prefix.size() ? written - prefix.size() : 0;
    historyRowsWritten(store, resumeAt + rowBytes, bytes + written);
    return error;
}

// Moves a full file aside. 0, or the Windows error of a rotation that failed.
DWORD rotateIfFull(const HistoryStore& store) {
    // A row cut part-way is finished first, so the old file never ends in half of it.
    if (store.cutRowBytes > 0 || fileBytes(store.path) <= historyRotateBytes) return 0;
    if (MoveFileExW(store.path.c_str(), store.oldPath.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
    return GetLastError();
}

enum class ReadResult { Missing, Read, Failed };

// Reads a whole file in bounded pieces until its end, so a file that grew since
// it was opened is still copied completely. Only a file that is not there is
// missing; one that is there but cannot be opened is a failure.
ReadResult readWholeFile(const std::wstring& path, std::string& content, DWORD& error) {
    FileHandle file =
        openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (!file) {
        error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return ReadResult::Missing;
        return ReadResult::Failed;
    }
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

// Writes the export into a new file beside the destination, then puts it in the
// destination's place, so a failure at any point leaves the destination as it was.
DWORD writeBeside(const std::wstring& destination, const std::string& content) {
    // A name of its own in the destination's folder, never one that is already there.
    std::wstring temporary;
    FileHandle file;
    DWORD error = ERROR_FILE_EXISTS;
    for (unsigned attempt = 0; !file && error == ERROR_FILE_EXISTS && attempt < 100; ++attempt) {
        temporary = destination + formatText(L".%u.tmp", attempt);
        file = openFile(temporary, GENERIC_WRITE, 0, CREATE_NEW);
        error = file ? 0 : GetLastError();
    }
    if (!file) return error;
    size_t written = 0;
    error = writeAll(file.get(), content, written);
    file.reset();
    if (error == 0 &&
        !MoveFileExW(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING))
        error = GetLastError();
    if (error != 0) DeleteFileW(temporary.c_str());
    return error;
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
    store.rowsSinceFlush = 0;
    // A rotation that failed before is tried again at every flush; while it keeps
    // failing the file may grow to twice the limit, then rows wait in memory.
    const DWORD rotateError = rotateIfFull(store);
    if (rotateError != 0 && fileBytes(store.path) >= 2 * historyRotateBytes) {
        store.unsavedReason = L"Sampel terbaru belum disimpan: berkas riwayat sudah penuh dan "
                              L"tidak dapat dirotasi. " +
                              windowsErrorText(rotateError);
        return;
    }
    const DWORD writeError = appendRows(store);
    if (writeError != 0)
        store.unsavedReason = L"Sampel terbaru belum disimpan: berkas riwayat tidak dapat "
                              L"ditulis. " +
                              windowsErrorText(writeError);
    else
        store.unsavedReason.clear();
    rotateIfFull(store);
}

bool historyClear(HistoryStore& store, std::wstring& error) {
    store.writeBuffer.clear();
    store.pendingRows = 0;
    store.rowsSinceFlush = 0;
    store.cutRowBytes = 0;
    store.unsavedReason.clear();
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
    // The export put in a history file's place would replace the rows it comes from.
    if (sameFile(destination, store.path) || sameFile(destination, store.oldPath)) {
        error = L"Berkas tujuan adalah berkas riwayat Ovra Monitor sendiri. Pilih nama berkas "
                L"lain.";
        return false;
    }
    if (store.saving) historyFlush(store);

    // Every source is read before anything is written.
    std::string output = "\xEF\xBB\xBF";
    output += csvHeader;
    bool fileUsed = false;
    for (const std::wstring* path : {&store.oldPath, &store.path}) {
        std::string content;
        DWORD code = 0;
        const ReadResult result = readWholeFile(*path, content, code);
        if (result == ReadResult::Failed) {
            error = windowsErrorText(code);
            return false;
        }
        // The start of a row cut by the last write: the row itself is still waiting.
        if (path == &store.path && store.cutRowBytes > 0 && content.size() == store.cutFileBytes)
            content.resize(content.size() - size_t(store.cutRowBytes));
        if (content.empty()) continue;
        fileUsed = true;
        appendFileRows(output, content);
    }
    if (fileUsed) {
        // Rows the file could not take yet are newer than every row in it.
        output += store.writeBuffer;
    } else {
        for (uint64_t i = 0; i < store.count; ++i)
            output += formatCsvRow(historyAt(store, i));
    }
    if (const DWORD code = writeBeside(destination, output)) {
        error = windowsErrorText(code);
        return false;
    }
    return true;
}

uint64_t historyFileBytes(const HistoryStore& store) {
    return fileBytes(store.path) + fileBytes(store.oldPath);
}

} // namespace ovra
