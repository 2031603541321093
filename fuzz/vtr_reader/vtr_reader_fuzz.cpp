// Project files come from users and other machines: the reader must reject any
// damage with an ArchiveError, never crash or allocate without bound. A project that
// reads must write back to bytes that read again to the same bytes.
#include "voltaro/model/ArchiveError.h"
#include "voltaro/model/ArchiveReader.h"
#include "voltaro/model/ArchiveWriter.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

#include <QTemporaryFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace voltaro;
    CMainDoc doc;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        ArchiveReader in(bytes);
        ProjectContents contents = CMainDoc::ReadProject(in, &doc, GraphSettings{});
        (void)contents;
    } catch (const ArchiveError&) {
        return 0;
    }

    // It read: open it as a document, write it, read that back and write it again;
    // the two writings must be the same bytes.
    QTemporaryFile file;
    if (!file.open() || file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                            static_cast<qint64>(bytes.size()))
        std::abort();
    file.close();
    CMainDoc first;
    QString error;
    if (!first.OnOpenDocument(file.fileName(), &error)) {
        std::fprintf(stderr, "read in memory but not from a file: %s\n", qPrintable(error));
        std::abort();
    }
    ArchiveWriter once;
    first.Serialize(once);
    CMainDoc second;
    ArchiveReader back(once.bytes());
    ProjectContents reread = CMainDoc::ReadProject(back, &second, GraphSettings{});
    (void)reread;
    QTemporaryFile file2;
    if (!file2.open() ||
        file2.write(once.bytes().data(), static_cast<qint64>(once.bytes().size())) !=
            static_cast<qint64>(once.bytes().size()))
        std::abort();
    file2.close();
    if (!second.OnOpenDocument(file2.fileName(), &error))
        std::abort();
    ArchiveWriter twice;
    second.Serialize(twice);
    if (twice.bytes() != once.bytes())
        std::abort();
    return 0;
}
