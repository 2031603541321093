// Storing and loading a window-layout sized key tree: as an environment archive
// and as the settings file text.
#include "platform/settings/SettingsStore.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace platform;

// 40 bars with 25 values each, like the docking library's layout keys.
void fillLayout(MemorySettingsBackend& store) {
    const SettingsKey root = SettingsKey::Root(store);
    const std::string rect(16, '\x11');
    for (int bar = 0; bar < 40; ++bar) {
        const auto key = CreateKeyPath("Workspace\nBar-" + std::to_string(59392 + bar), root);
        for (int v = 0; v < 25; ++v) {
            const std::string name = "Value" + std::to_string(v);
            if (v % 3 == 0)
                WriteNumber(*key, name, v);
            else if (v % 3 == 1)
                WriteString(*key, name, "Some text of a bar");
            else
                WriteBinary(*key, name, rect.data(), rect.size());
        }
    }
}

void BM_StoreSubtree(benchmark::State& state) {
    MemorySettingsBackend store;
    fillLayout(store);
    const SettingsKey root = SettingsKey::Root(store);
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        StoreSubtree(root, out);
        benchmark::DoNotOptimize(out.data().size());
    }
}
BENCHMARK(BM_StoreSubtree)->Unit(benchmark::kMicrosecond);

void BM_LoadSubtree(benchmark::State& state) {
    MemorySettingsBackend source;
    fillLayout(source);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    StoreSubtree(SettingsKey::Root(source), out);
    QByteArray bytes = out.data();
    for (auto _ : state) {
        MemorySettingsBackend store;
        const SettingsKey root = SettingsKey::Root(store);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(LoadSubtree(&root, in));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadSubtree)->Unit(benchmark::kMicrosecond);

void BM_SettingsFileText(benchmark::State& state) {
    MemorySettingsBackend source;
    fillLayout(source);
    const std::string text = FileSettingsBackend::toText(source);
    for (auto _ : state) {
        MemorySettingsBackend store;
        FileSettingsBackend::fromText(text, store);
        benchmark::DoNotOptimize(FileSettingsBackend::toText(store).size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()) * 2);
}
BENCHMARK(BM_SettingsFileText)->Unit(benchmark::kMicrosecond);

// One write of the settings file after a change: the text of the whole store,
// written through a temporary file and renamed into place. What writing on every
// single change would cost, against one write per burst.
void BM_SettingsFileWrite(benchmark::State& state) {
    QTemporaryDir dir;
    FileSettingsBackend store(dir.filePath(QStringLiteral("settings.reg")));
    store.setWriteScheduler({});  // only the writes measured here
    fillLayout(store);
    const SettingsKey key =
        *OpenKeyPath("Workspace\nBar-59392", SettingsKey::Root(store), KeyAccess::Write);
    std::int32_t n = 0;
    for (auto _ : state) {
        WriteNumber(key, "Value0", ++n);
        if (!store.sync()) {
            state.SkipWithError("the settings file cannot be written");
            break;
        }
    }
}
BENCHMARK(BM_SettingsFileWrite)->Unit(benchmark::kMicrosecond);

}  // namespace
