#pragma once
// The project document of the analyzer: the sessions with their blocks, the
// background receiver state and serial settings, the two user formulas and the
// graph settings. It broadcasts every change to its views as a numbered hint,
// stores projects in .vtr files and imports the sessions of other projects.
//
// No windows here: questions go through platform::Prompts, file and archive
// failures come back as texts that name the file, and whatever belongs to the
// running program (settings store, receiver start, protocol bar) is injected.

#include "voltaro/model/CObListEx.h"
#include "voltaro/model/GraphSettings.h"
#include "voltaro/model/ItemDocument.h"
#include "voltaro/model/ItemEnvironment.h"
#include "voltaro/model/ReceiverState.h"
#include "voltaro/model/SerialControlRecord.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class Prompts;
class SettingsKey;
}  // namespace platform

namespace voltaro {

class ArchiveReader;
class ArchiveWriter;
class CDataBlock;
class CDataModule;
class CMainDoc;

// What the document needs of the running program. Every part may stay empty.
struct DocumentServices {
    // The root of the user's settings store (options, graph default); null: the
    // built-in defaults only.
    const platform::SettingsKey* settingsRoot = nullptr;
    // The Czech user interface: default fonts get their " CE" variant.
    bool czechFonts = false;
    // Opens the port and starts background reception; false when it failed.
    std::function<bool(CMainDoc&)> startReceiver;
    // Closes the port and stops the timer (the document is going away).
    std::function<void(CMainDoc&)> stopReceiver;
    // Empties the online data bar when the online session ends.
    std::function<void()> clearOnlineBar;
    // Whether the protocol editor bar is visible (stored in project files).
    std::function<bool()> isProtocolBarVisible;
    // The program's item hooks and run-wide flags, shared by its documents (so
    // session numbers go on across them). Null: the document keeps its own.
    ItemEnvironment* environment = nullptr;
};

// Sessions and graph settings read from a project file, not yet in a document.
struct ProjectContents {
    CObListEx<CDataModule> sessions;
    GraphSettings graph;
    int version = 0;
};

class CMainDoc : public ItemDocument {
public:
    static constexpr int kFileVersion = 5;
    static constexpr const char* kOptionsKeyPath = "Software\nTarnwell\nVoltaro\nOptions";
    static constexpr const char* kGraphSetupKeyPath = "Software\nTarnwell\nVoltaro\nGraphSetup";
    // Texts of the document template: default name and file filter.
    static constexpr const char* kUntitled = "Untitled";
    static constexpr const char* kFilterName = "Voltaro Data Files";
    static constexpr const char* kFilterExtension = ".vtr";
    static constexpr const char* kOnlineSessionQuestion =
        "There is an on-line session currently running. Are you sure to close the it?";
    static constexpr const char* kEmptySessionEntry = "Empty Session manually created ";

    explicit CMainDoc(bool bImportOnly = false, DocumentServices services = {});
    ~CMainDoc() override;

    CMainDoc(const CMainDoc&) = delete;
    CMainDoc& operator=(const CMainDoc&) = delete;

    // Views.
    void AddView(DocumentView* pView);
    void RemoveView(DocumentView* pView);
    void UpdateAllViews(DocumentView* pSender, int lHint, CViewTreeItem* pHint = nullptr) override;

    void SetModifiedFlag(bool bModified = true) override { m_bModified = bModified; }
    bool IsModified() const override { return m_bModified; }
    CDataModule* GetOnlineSession() const override { return m_receiver.m_pSession; }
    int GetOnlinePhase() const override { return m_nOnlinePhase; }
    ItemEnvironment* GetEnvironment() const override { return m_pEnvironment; }
    ItemEnvironment& Environment() const { return *m_pEnvironment; }

    const QString& GetPathName() const { return m_strPathName; }
    // The file name of the path, or "Untitled".
    QString GetTitle() const;

    // Document steps of File New, Open and Save.
    bool OnNewDocument();
    // Tells the views, ends the online session, deletes every session and resets
    // the graph settings to the defaults.
    void DeleteContents();
    // Reads the whole file first; only a complete read replaces the contents, so a
    // file that does not load leaves the project as it was.
    bool OnOpenDocument(const QString& path, QString* error = nullptr);
    // Views store their pending edits, then the project is written atomically.
    bool OnSaveDocument(const QString& path, QString* error = nullptr);
    // Asked before New, Open and Exit: the online session question first, then
    // whether to save the changes. False cancels the operation.
    bool SaveModified(platform::Prompts& prompts);
    // Views store their pending edits, then SaveModified.
    bool CanCloseFrame(platform::Prompts& prompts);
    // Saves to the current path, or asks for one (Save As when empty path).
    bool DoSave(platform::Prompts& prompts, const QString& path);

    // Sessions.
    // Create Empty Session: appended, announced, written to the new protocol;
    // marks the project modified.
    CDataModule* OnCreateEmptySession();
    // Appends a session, makes this its document and sends HINT_SESSION_ADDED.
    CDataModule* AddSession(std::unique_ptr<CDataModule> pSession);
    // Takes a session out of the project and marks it modified. The reception
    // ends first when the session is the online one or holds the block being
    // received. With bDelete the session is destroyed; without, it is handed to
    // *pTaken (and destroyed all the same when nobody takes it). False when the
    // session is not in the project.
    bool RemoveSession(CDataModule* pSession, bool bDelete, bool bUpdate, DocumentView* pSender,
                       std::unique_ptr<CDataModule>* pTaken = nullptr);
    // Takes a block out of its session (CDataModule::RemoveBlock). The reception
    // ends first when it is the block being received or the last block of the
    // online session.
    bool RemoveItemBlock(CDataBlock* pBlock, bool bDelete, bool bUpdate, DocumentView* pSender,
                         std::unique_ptr<CDataBlock>* pTaken = nullptr);
    // Ends the online session: the receiver forgets it; a session already in the
    // project stays (its picture turns normal), one that is not is destroyed.
    void EndOnlineSession();

    // Appends the sessions of another project file and marks the project
    // modified; graph settings and formulas of that file are dropped. False with
    // the error text when it does not load (nothing changes then).
    bool ImportProjectFile(const QString& path, QString* error = nullptr);
    // The import command: asks for the file, imports it, shows a failure.
    bool OnImportVoltaroFile(platform::Prompts& prompts);

    // The stored form of the whole document (version 5).
    void Serialize(ArchiveWriter& ar) const;
    // Reads a project archive into new contents; sessions belong to pOwner.
    // Throws ArchiveError on any fault.
    static ProjectContents ReadProject(ArchiveReader& ar, ItemDocument* pOwner,
                                       const GraphSettings& graphDefaults);

    // Graph settings: built-in defaults, then the user's stored default.
    void ResetGraphSettings();
    bool SaveGraphSettingsAsDefault() const;
    // Reads the stored default into `settings`; false when missing or unreadable.
    bool LoadGraphSettingsDefault(GraphSettings& settings) const;

    const DocumentServices& Services() const { return m_services; }

    CObListEx<CDataModule> m_sessions;
    ReceiverState m_receiver;
    int m_nOnlinePhase = 0;
    bool m_bKeepReceiverOn = true;
    bool m_bImportOnly;
    int m_nPortIndex = 0;
    SerialControlRecord m_dcb;
    SerialTimeouts m_timeouts;
    std::string m_strFormula1;
    std::string m_strFormula2;
    std::string m_strTitle1;
    std::string m_strTitle2;
    GraphSettings m_graphSettings;
    // Version of the file last read (kFileVersion until then).
    int m_nFileVersion = kFileVersion;

private:
    void ReadOptions();
    bool ReadFile(const QString& path, ProjectContents& contents, QString* error);

    DocumentServices m_services;
    // Used when the program hands in no environment.
    std::unique_ptr<ItemEnvironment> m_ownEnvironment;
    ItemEnvironment* m_pEnvironment;
    std::vector<DocumentView*> m_views;
    QString m_strPathName;
    bool m_bModified = false;
};

}  // namespace voltaro
