// The stored form of the project document (.vtr files).
#include "voltaro/model/ArchiveReader.h"
#include "voltaro/model/ArchiveWriter.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace voltaro {
namespace {

constexpr std::string_view kSessionClass = "CDataModule";
constexpr std::string_view kBlockClass = "CDataBlock";
constexpr std::uint16_t kSchema = 0;

// Samples are converted from older files in slices of this many records.
constexpr std::size_t kConvertSlice = 4096;

void writeProtocol(ArchiveWriter& ar, const std::string& protocol) {
    if (protocol.size() > 0xFFFFFFFFu) {
        throw ArchiveError(ArchiveError::Cause::TooLarge,
                           QStringLiteral("A protocol is too long to be stored."));
    }
    ar.writeDword(static_cast<std::uint32_t>(protocol.size()));
    ar.writeBytes(protocol.data(), protocol.size());
}

std::string readProtocol(ArchiveReader& ar) {
    const std::uint32_t length = ar.readDword();
    ar.requireBytes(length);
    std::string protocol;
    protocol.resize(length);
    ar.readBytes(protocol.data(), protocol.size());
    return protocol;
}

void writeBlock(ArchiveWriter& ar, const CDataBlock& block, const CDataModule& session) {
    ar.writeObjectRef(&session, kSessionClass, kSchema);  // the parent: a back reference
    writeProtocol(ar, block.m_protocol);
    ar.writeString(block.m_strName);
    ar.writeDword(block.m_bSelected ? 1 : 0);
    ar.writeString(block.m_strCreated);
    ar.writeString(block.m_strInfo);
    ar.writeDword(0);
    ar.writeDword(0);
    ar.writeInt32(block.m_nBattery);
    ar.writeInt32(block.m_nLineType);
    ar.writeInt32(block.m_nColorIntensity);
    ar.writeCount(block.m_samples.size());
    ar.writeBytes(block.m_samples.data(), block.m_samples.size() * sizeof(DataSample));
}

void writeSession(ArchiveWriter& ar, const CDataModule& session) {
    ar.writeObjectRef(nullptr, kSessionClass, kSchema);  // a session has no parent
    writeProtocol(ar, session.m_protocol);
    ar.writeString(session.m_strName);
    ar.writeCount(session.m_blocks.GetCount());
    for (const CDataBlock* block : session.m_blocks) {
        if (ar.writeObjectRef(block, kBlockClass, kSchema)) {
            writeBlock(ar, *block, session);
        }
    }
}

// A parent reference: null or an object already read. A new object here would
// be an item nobody owns.
void readParent(ArchiveReader& ar) {
    const auto tag = ar.readObjectTag();
    if (tag.kind == ArchiveReader::ObjectTag::NewObject) {
        throw ArchiveError(ArchiveError::Cause::BadClass,
                           QStringLiteral("The file holds an object where a parent reference "
                                          "belongs."));
    }
}

// The next list element must be a new object of the given class: a reference
// would put one item into two lists.
std::uint32_t readNewObject(ArchiveReader& ar, std::string_view className) {
    const auto tag = ar.readObjectTag();
    if (tag.kind != ArchiveReader::ObjectTag::NewObject || tag.className != className) {
        throw ArchiveError(
            ArchiveError::Cause::BadClass,
            QStringLiteral("The file holds %1 where a new %2 object belongs.")
                .arg(tag.kind == ArchiveReader::ObjectTag::Null
                         ? QStringLiteral("an empty reference")
                     : tag.kind == ArchiveReader::ObjectTag::Reference
                         ? QStringLiteral("a second reference to object %1").arg(tag.index)
                         : QStringLiteral("an object of class %1")
                               .arg(QString::fromLatin1(tag.className.data(),
                                                        qsizetype(tag.className.size()))),
                     QString::fromLatin1(className.data(), qsizetype(className.size()))));
    }
    return tag.index;
}

void readSamples(ArchiveReader& ar, CDataBlock& block, int version) {
    const std::uint32_t count = ar.readCount();
    const std::size_t recordSize = version >= 5 ? sizeof(DataSample) : kDataSampleSizeWithoutR;
    // Refuse a count the file cannot hold before allocating for it.
    ar.requireBytes(static_cast<std::uint64_t>(count) * recordSize);
    block.m_samples.resize(count);
    if (version >= 5) {
        ar.readBytes(block.m_samples.data(), block.m_samples.size() * sizeof(DataSample));
        return;
    }
    // Older records end before R; R stays 0.
    std::vector<char> slice(kConvertSlice * kDataSampleSizeWithoutR);
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min<std::size_t>(kConvertSlice, count - done);
        ar.readBytes(slice.data(), n * kDataSampleSizeWithoutR);
        for (std::size_t i = 0; i < n; ++i) {
            std::memcpy(static_cast<void*>(&block.m_samples[done + i]),
                        slice.data() + i * kDataSampleSizeWithoutR, kDataSampleSizeWithoutR);
        }
        done += n;
    }
}

std::unique_ptr<CDataBlock> readBlock(ArchiveReader& ar, int version) {
    auto block = std::make_unique<CDataBlock>();
    readParent(ar);
    block->m_protocol = readProtocol(ar);
    block->m_strName = ar.readString();
    block->m_bSelected = ar.readDword() != 0;
    block->m_strCreated = ar.readString();
    block->m_strInfo = ar.readString();
    ar.readDword();
    ar.readDword();
    block->m_nBattery = ar.readInt32();
    if (version >= 4) {
        block->m_nLineType = ar.readInt32();
        block->m_nColorIntensity = ar.readInt32();
    } else {
        ar.skip(8 * 4);
        block->m_nLineType = -1;
        block->m_nColorIntensity = -1;
    }
    readSamples(ar, *block, version);
    return block;
}

}  // namespace

void CMainDoc::Serialize(ArchiveWriter& ar) const {
    ar.writeWord(kFileVersion);
    ar.writeString(m_strFormula1);
    ar.writeString(m_strTitle1);
    ar.writeString(m_strFormula2);
    ar.writeString(m_strTitle2);
    const bool barVisible = m_services.isProtocolBarVisible && m_services.isProtocolBarVisible();
    ar.writeDword(barVisible ? 1 : 0);
    m_graphSettings.Store(ar, true);
    ar.writeCount(m_sessions.GetCount());
    for (const CDataModule* session : m_sessions) {
        if (ar.writeObjectRef(session, kSessionClass, kSchema)) {
            writeSession(ar, *session);
        }
    }
}

ProjectContents CMainDoc::ReadProject(ArchiveReader& ar, ItemDocument* pOwner,
                                      const GraphSettings& graphDefaults) {
    ar.addKnownClass(std::string(kSessionClass), kSchema);
    ar.addKnownClass(std::string(kBlockClass), kSchema);

    ProjectContents contents;
    const int version = ar.readWord();
    if (version == 0 || version > kFileVersion) {
        throw ArchiveError(ArchiveError::Cause::BadSchema,
                           QStringLiteral("It is of version %1; this program reads versions 1 "
                                          "to %2.")
                               .arg(version)
                               .arg(kFileVersion));
    }
    contents.version = version;
    // Formulas and the protocol bar state are not taken from files.
    for (int i = 0; i < 4; ++i) {
        ar.readString();
    }
    ar.readDword();
    contents.graph = graphDefaults;
    contents.graph.Load(ar, version, true);

    const std::uint32_t sessions = ar.readCount();
    for (std::uint32_t s = 0; s < sessions; ++s) {
        const std::uint32_t index = readNewObject(ar, kSessionClass);
        // The list owns the session from here on, so a failure below frees it.
        CDataModule* session = contents.sessions.AddTail(std::make_unique<CDataModule>(pOwner));
        ar.bindObject(index, session);
        readParent(ar);
        session->m_protocol = readProtocol(ar);
        session->m_strName = ar.readString();
        const std::uint32_t blocks = ar.readCount();
        for (std::uint32_t b = 0; b < blocks; ++b) {
            const std::uint32_t blockIndex = readNewObject(ar, kBlockClass);
            auto block = readBlock(ar, version);
            ar.bindObject(blockIndex, block.get());
            session->AddBlock(std::move(block));
        }
    }
    return contents;
}

}  // namespace voltaro
