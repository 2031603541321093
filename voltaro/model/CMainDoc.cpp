#include "voltaro/model/CMainDoc.h"

#include "platform/core/Prompts.h"
#include "platform/settings/SettingsStore.h"
#include "voltaro/model/ArchiveReader.h"
#include "voltaro/model/ArchiveWriter.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/ItemEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <new>

namespace voltaro {
namespace {

constexpr const char* kGraphDefaultValue = "Default";

QString readFailure(const QString& path, const QString& detail) {
    return QStringLiteral("Cannot read the project file \"%1\".\n%2")
        .arg(QDir::toNativeSeparators(path), detail);
}

QString saveFailure(const QString& path, const QString& detail) {
    return QStringLiteral("Cannot save the project file \"%1\".\n%2")
        .arg(QDir::toNativeSeparators(path), detail);
}

void setError(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
}

// Read-only in the sense of the file's own attribute: no write permission for
// its owner, or none for us. Replacing the file by rename would bypass either.
bool isReadOnlyFile(const QFileInfo& info) {
    return info.exists() && (!(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable());
}

}  // namespace

CMainDoc::CMainDoc(bool bImportOnly, DocumentServices services)
    : m_bImportOnly(bImportOnly),
      m_services(std::move(services)),
      m_ownEnvironment(m_services.environment ? nullptr : std::make_unique<ItemEnvironment>()),
      m_pEnvironment(m_services.environment ? m_services.environment : m_ownEnvironment.get()) {
    m_receiver.m_pDocument = this;
    m_receiver.m_bOnline = true;
    ReadOptions();
    m_graphSettings.ResetToBuiltInDefaults(m_services.czechFonts);
    LoadGraphSettingsDefault(m_graphSettings);
    m_graphSettings.m_nCursorKind = 1;
    if (!m_bImportOnly && m_bKeepReceiverOn && m_services.startReceiver) {
        m_services.startReceiver(*this);
    }
}

CMainDoc::~CMainDoc() {
    if (!m_bImportOnly && m_services.stopReceiver) {
        m_services.stopReceiver(*this);
    }
    m_receiver.m_pSession = nullptr;
    m_receiver.m_pBlock = nullptr;
    m_receiver.m_newSession.reset();
}

void CMainDoc::ReadOptions() {
    if (!m_services.settingsRoot) {
        return;
    }
    const auto key = platform::CreateKeyPath(kOptionsKeyPath, *m_services.settingsRoot);
    if (!key) {
        return;
    }
    m_nPortIndex = platform::ReadNumber(*key, "CommPortIndex", m_nPortIndex);
    char setup[SerialControlRecord::kSize];
    std::size_t size = 0;
    if (platform::ReadBinary(*key, "CommPortSetup", setup, sizeof setup, &size)) {
        m_dcb.ApplyBytes(std::string_view(setup, size));
    }
    m_bKeepReceiverOn =
        platform::ReadNumber(*key, "KeepReceiverOn", m_bKeepReceiverOn ? 1 : 0) != 0;
    m_strFormula1 = platform::ReadString(*key, "Formula_User1", {});
    m_strTitle1 = platform::ReadString(*key, "Formula_User1t", {});
    m_strFormula2 = platform::ReadString(*key, "Formula_User2", {});
    m_strTitle2 = platform::ReadString(*key, "Formula_User2t", {});
}

// ---------------------------------------------------------------- views

void CMainDoc::AddView(DocumentView* pView) {
    if (pView && std::find(m_views.begin(), m_views.end(), pView) == m_views.end()) {
        m_views.push_back(pView);
    }
}

void CMainDoc::RemoveView(DocumentView* pView) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), pView), m_views.end());
}

void CMainDoc::UpdateAllViews(DocumentView* pSender, int lHint, CViewTreeItem* pHint) {
    // A view may register or leave while it handles a hint; walk a copy.
    const std::vector<DocumentView*> views = m_views;
    for (DocumentView* view : views) {
        if (view != pSender && std::find(m_views.begin(), m_views.end(), view) != m_views.end()) {
            view->OnUpdate(pSender, lHint, pHint);
        }
    }
}

QString CMainDoc::GetTitle() const {
    if (m_strPathName.isEmpty()) {
        return QString::fromLatin1(kUntitled);
    }
    return QFileInfo(m_strPathName).fileName();
}

// ---------------------------------------------------------------- graph settings

bool CMainDoc::LoadGraphSettingsDefault(GraphSettings& settings) const {
    if (!m_services.settingsRoot) {
        return false;
    }
    const auto key = platform::OpenKeyPath(kGraphSetupKeyPath, *m_services.settingsRoot,
                                           platform::KeyAccess::Read);
    if (!key) {
        return false;
    }
    std::size_t size = 0;
    if (!platform::ReadBinary(*key, kGraphDefaultValue, nullptr, 0, &size) || size == 0) {
        return false;
    }
    std::string bytes(size, '\0');
    if (!platform::ReadBinary(*key, kGraphDefaultValue, bytes.data(), bytes.size(), &size)) {
        return false;
    }
    bytes.resize(size);
    return settings.ApplyDefaultBytes(bytes);
}

bool CMainDoc::SaveGraphSettingsAsDefault() const {
    if (!m_services.settingsRoot) {
        return false;
    }
    const auto key = platform::CreateKeyPath(kGraphSetupKeyPath, *m_services.settingsRoot);
    if (!key) {
        return false;
    }
    const std::string bytes = m_graphSettings.DefaultBytes();
    return platform::WriteBinary(*key, kGraphDefaultValue, bytes.data(), bytes.size());
}

void CMainDoc::ResetGraphSettings() {
    m_graphSettings.ResetToBuiltInDefaults(m_services.czechFonts);
    LoadGraphSettingsDefault(m_graphSettings);
}

// ---------------------------------------------------------------- document steps

void CMainDoc::DeleteContents() {
    UpdateAllViews(nullptr, HINT_CLEAR);
    EndOnlineSession();
    m_sessions.RemoveAll();
    ResetGraphSettings();
}

bool CMainDoc::OnNewDocument() {
    DeleteContents();
    SetModifiedFlag(false);
    m_strPathName.clear();
    m_nFileVersion = kFileVersion;
    // Stands for the views' initial update of a fresh document.
    UpdateAllViews(nullptr, HINT_REFRESH_ALL);
    return true;
}

bool CMainDoc::ReadFile(const QString& path, ProjectContents& contents, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, readFailure(path, file.errorString()));
        return false;
    }
    if (file.size() == 0) {
        setError(error, readFailure(path, QStringLiteral("The file is empty.")));
        return false;
    }
    GraphSettings defaults = m_graphSettings;
    defaults.ResetToBuiltInDefaults(m_services.czechFonts);
    LoadGraphSettingsDefault(defaults);
    try {
        ArchiveReader ar(&file);
        contents = ReadProject(ar, this, defaults);
    } catch (const ArchiveError& e) {
        setError(error, readFailure(path, e.detail()));
        return false;
    } catch (const std::bad_alloc&) {
        setError(error,
                 readFailure(path, QStringLiteral("There is not enough memory to load it.")));
        return false;
    }
    return true;
}

bool CMainDoc::OnOpenDocument(const QString& path, QString* error) {
    ProjectContents contents;
    if (!ReadFile(path, contents, error)) {
        return false;
    }
    DeleteContents();
    m_sessions.swap(contents.sessions);
    for (CDataModule* session : m_sessions) {
        session->m_pDocument = this;
    }
    m_graphSettings = contents.graph;
    m_nFileVersion = contents.version;
    m_strPathName = path;
    SetModifiedFlag(false);
    UpdateAllViews(nullptr, HINT_REFRESH_ALL);
    return true;
}

bool CMainDoc::OnSaveDocument(const QString& path, QString* error) {
    UpdateAllViews(nullptr, HINT_STORE_EDITS);
    if (isReadOnlyFile(QFileInfo(path))) {
        setError(error,
                 saveFailure(path, QStringLiteral("Access is denied: the file is read-only.")));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, saveFailure(path, file.errorString()));
        return false;
    }
    try {
        ArchiveWriter ar(&file);
        Serialize(ar);
        ar.flush();
    } catch (const ArchiveError& e) {
        file.cancelWriting();
        setError(error, saveFailure(path, e.detail()));
        return false;
    }
    if (!file.commit()) {
        setError(error, saveFailure(path, file.errorString()));
        return false;
    }
    m_strPathName = path;
    m_nFileVersion = kFileVersion;
    SetModifiedFlag(false);
    return true;
}

bool CMainDoc::DoSave(platform::Prompts& prompts, const QString& path) {
    QString target = path;
    if (target.isEmpty()) {
        platform::FileDialogRequest request;
        request.title = QStringLiteral("Save As");
        request.fileName = GetTitle();
        request.filter =
            QStringLiteral("%1 (*%2)")
                .arg(QString::fromLatin1(kFilterName), QString::fromLatin1(kFilterExtension));
        request.defaultSuffix = QString::fromLatin1(kFilterExtension).mid(1);
        const auto chosen = prompts.saveFileName(request);
        if (!chosen) {
            return false;
        }
        target = *chosen;
    }
    QString error;
    if (!OnSaveDocument(target, &error)) {
        prompts.error(error);
        return false;
    }
    return true;
}

bool CMainDoc::SaveModified(platform::Prompts& prompts) {
    if (GetOnlineSession() &&
        prompts.askYesNo(QString::fromLatin1(kOnlineSessionQuestion)) != platform::Button::Yes) {
        return false;
    }
    if (!IsModified()) {
        return true;
    }
    const platform::Button answer = prompts.askYesNoCancel(
        QStringLiteral("Save changes to %1?").arg(GetTitle()), {}, platform::Icon::Warning);
    if (answer == platform::Button::Yes) {
        return DoSave(prompts, m_strPathName);
    }
    return answer == platform::Button::No;
}

bool CMainDoc::CanCloseFrame(platform::Prompts& prompts) {
    UpdateAllViews(nullptr, HINT_STORE_EDITS);
    return SaveModified(prompts);
}

// ---------------------------------------------------------------- sessions

CDataModule* CMainDoc::OnCreateEmptySession() {
    CDataModule* session = AddSession(std::make_unique<CDataModule>(this));
    if (HasProtocolEditor(*session)) {
        AddProtocolEntry(*session, kEmptySessionEntry);
    }
    SetModifiedFlag();
    return session;
}

CDataModule* CMainDoc::AddSession(std::unique_ptr<CDataModule> pSession) {
    pSession->m_pDocument = this;
    CDataModule* session = m_sessions.AddTail(std::move(pSession));
    UpdateAllViews(nullptr, HINT_SESSION_ADDED, session);
    return session;
}

void CMainDoc::EndOnlineSession() {
    CDataModule* session = std::exchange(m_receiver.m_pSession, nullptr);
    m_receiver.m_pBlock = nullptr;
    // A session the receiver made that never joined the project goes with it.
    const std::unique_ptr<CDataModule> unlisted = std::move(m_receiver.m_newSession);
    if (session && m_sessions.Contains(session)) {
        UpdateAllViews(nullptr, HINT_SESSION_CHANGED, session);
    }
    if (m_services.clearOnlineBar) {
        m_services.clearOnlineBar();
    }
}

bool CMainDoc::RemoveSession(CDataModule* pSession, bool bDelete, bool bUpdate,
                             DocumentView* pSender, std::unique_ptr<CDataModule>* pTaken) {
    if (!pSession || !m_sessions.Contains(pSession)) {
        return false;
    }
    // The receiver's block may have been moved into this session.
    const CDataBlock* receiving = m_receiver.m_pBlock;
    if (pSession == GetOnlineSession() || (receiving && receiving->GetSession() == pSession)) {
        EndOnlineSession();
    }
    if (bUpdate) {
        UpdateAllViews(pSender, HINT_SESSION_REMOVING, pSession);
    }
    std::unique_ptr<CDataModule> taken = m_sessions.Remove(pSession);
    // The views still get the address of the removed session: they only compare it.
    if (bUpdate) {
        UpdateAllViews(pSender, HINT_SESSION_REMOVED, pSession);
    }
    if (!bDelete && pTaken) {
        *pTaken = std::move(taken);
    }
    taken.reset();
    SetModifiedFlag();
    return true;
}

bool CMainDoc::RemoveItemBlock(CDataBlock* pBlock, bool bDelete, bool bUpdate,
                               DocumentView* pSender, std::unique_ptr<CDataBlock>* pTaken) {
    CDataModule* session = pBlock ? pBlock->GetSession() : nullptr;
    if (!session) {
        return false;
    }
    // The block being received may sit anywhere by now: moved into another
    // session, or no longer the last of the online one.
    const bool endsReception =
        pBlock == m_receiver.m_pBlock ||
        (session == GetOnlineSession() && session->m_blocks.GetTail() == pBlock);
    if (endsReception) {
        m_receiver.m_pBlock = nullptr;
    }
    // Ending the online session destroys a session that is not in the project,
    // and the block with it; such a block leaves its session first.
    const bool sessionListed = m_sessions.Contains(session);
    if (endsReception && sessionListed) {
        EndOnlineSession();
    }
    const bool removed = session->RemoveBlock(pBlock, bDelete, bUpdate, pSender, pTaken);
    if (endsReception && !sessionListed) {
        EndOnlineSession();
    }
    return removed;
}

bool CMainDoc::ImportProjectFile(const QString& path, QString* error) {
    ProjectContents contents;
    if (!ReadFile(path, contents, error)) {
        return false;
    }
    while (std::unique_ptr<CDataModule> session = contents.sessions.RemoveHead()) {
        session->m_pDocument = this;
        m_sessions.AddTail(std::move(session));
    }
    SetModifiedFlag();
    UpdateAllViews(nullptr, HINT_REFRESH_ALL);
    return true;
}

bool CMainDoc::OnImportVoltaroFile(platform::Prompts& prompts) {
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.filter =
        QStringLiteral("%1 (*%2)")
            .arg(QString::fromLatin1(kFilterName), QString::fromLatin1(kFilterExtension));
    const auto path = prompts.openFileName(request);
    if (!path) {
        return false;
    }
    QString error;
    if (!ImportProjectFile(*path, &error)) {
        prompts.error(error);
        return false;
    }
    return true;
}

}  // namespace voltaro
