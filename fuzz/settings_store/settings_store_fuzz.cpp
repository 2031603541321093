// Feeds arbitrary bytes to both settings readers: as an environment archive and
// as the settings file text. Beyond not crashing, whatever was read must be
// written and read back cleanly and unchanged.
#include "platform/settings/SettingsStore.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool loadArchive(const QByteArray& bytes, platform::SettingsBackend& store) {
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    const platform::SettingsKey root = platform::SettingsKey::Root(store);
    return platform::LoadSubtree(&root, in);
}

QByteArray storeArchive(platform::SettingsBackend& store) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    check(platform::StoreSubtree(platform::SettingsKey::Root(store), out));
    return out.data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using platform::FileSettingsBackend;
    using platform::MemorySettingsBackend;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    MemorySettingsBackend archived;
    if (loadArchive(bytes, archived)) {
        const QByteArray stored = storeArchive(archived);
        MemorySettingsBackend again;
        check(loadArchive(stored, again));
        check(storeArchive(again) == stored);
        check(FileSettingsBackend::toText(again) == FileSettingsBackend::toText(archived));
    }

    MemorySettingsBackend parsed;
    FileSettingsBackend::fromText(std::string_view(bytes.constData(), size), parsed);
    const std::string text = FileSettingsBackend::toText(parsed);
    MemorySettingsBackend reparsed;
    check(FileSettingsBackend::fromText(text, reparsed));
    check(FileSettingsBackend::toText(reparsed) == text);
    return 0;
}
