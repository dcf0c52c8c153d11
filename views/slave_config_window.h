#pragma once
// The Slave Configuration window of one document: plugs the file's modules into
// slots, sets the parameters of the device and of the plugged modules, and shows
// the configuration and parameter bytes a DP master sends, the file's limits
// against what the configuration uses, and the findings in the output window.
// It reads the document's text when it opens and after every Rebuild, keeping
// the plugged modules and settings that still exist; it never writes the GSD file.

#include <QDialog>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/slave_config.h"

class QLabel;
class QListView;
class QPushButton;
class QStandardItemModel;
class QTableView;
class CByteGridModel;
class CParameterTableModel;
class CTalunaDoc;

class CSlaveConfigWindow : public QDialog {
    Q_OBJECT
public:
    explicit CSlaveConfigWindow(CTalunaDoc* document, QWidget* parent = nullptr);
    ~CSlaveConfigWindow() override;

    // Reads the document's text again: the modules and parameters as the text
    // defines them now. Plugged modules are found again by their names,
    // settings by their parameters' names; what no longer exists is dropped
    // with a note. `listFindings`: the findings go to the output window.
    void Reread(bool listFindings = true);

    // Plugs Module `module` (its index in the file) into the next slot; false
    // when the station takes no more modules.
    bool Plug(int module);
    void Unplug(int slot);
    // Moves the module of `slot` one slot up (-1) or down (+1).
    void Move(int slot, int delta);
    // The file's default modules again, without settings.
    void PlugDefaults();
    // Sets a parameter of the device part (slot -1) or of the module in `slot`
    // to a text of its PrmText or a number; false when it is neither.
    bool SetParameter(int slot, const std::string& parameter, const QString& value);
    // Writes the JSON of taluna-config for this configuration to `path`; false
    // (with a message) when it cannot be written or would replace the GSD file.
    bool ExportTo(const QString& path);
    // Export...: asks for a file name, then ExportTo.
    void Export();

    const CSlaveConfig& Config() const { return m_Config; }
    const CSlaveDescription* Description() const { return m_pDescription.get(); }
    // The module indices of the plugged modules, in slot order.
    std::vector<int> PluggedModules() const;
    // The settings of the device part (slot -1) or of the module in `slot`.
    std::map<std::string, std::string> Settings(int slot) const;
    int SelectedSlot() const;
    void SelectSlot(int slot);

    QListView* FileModuleList() const { return m_pFileModules; }
    QListView* PluggedList() const { return m_pPlugged; }
    QTableView* ParameterTable() const { return m_pParameters; }
    QTableView* CfgView() const { return m_pCfgView; }
    QTableView* PrmView() const { return m_pPrmView; }
    QTableView* LimitsView() const { return m_pLimits; }
    QPushButton* AddButton() const { return m_pAdd; }
    QPushButton* RemoveButton() const { return m_pRemove; }
    QPushButton* UpButton() const { return m_pUp; }
    QPushButton* DownButton() const { return m_pDown; }
    QPushButton* ExportButton() const { return m_pExport; }
    QLabel* SummaryLabel() const { return m_pSummary; }

    // Replaces the file dialog of Export... (tests); an empty answer cancels.
    std::function<QString()> m_ExportPathHook;

signals:
    // Rebuild (F5) pressed in this window: the document window rebuilds.
    void rebuildRequested();
    // Show 0-based line `line` of the document (a byte's source was double-clicked).
    void lineRequested(int line);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // A plugged module and the settings of its parameters, by name.
    struct SPlug {
        int m_nModule = 0;
        std::string m_Name;
        std::map<std::string, std::string> m_Settings;
    };

    void BuildWidgets();
    // Builds the configuration again and shows it; the findings go to the
    // output window when `listFindings` and the window is visible.
    void Recompute(bool listFindings = true);
    void ListFindings();
    void FillFileModules();
    void FillPlugged();
    void FillLimits();
    void UpdateButtons();
    void UpdateTitle();
    void Note(const std::string& text);

    CTalunaDoc* m_pDoc;
    std::unique_ptr<CSlaveDescription> m_pDescription;
    CModuleList m_Modules;
    std::vector<SPlug> m_Plugs;
    std::map<std::string, std::string> m_DeviceSettings;
    CSlaveConfig m_Config;
    std::vector<std::string> m_Notes;  // of the last Reread, listed with the findings

    QListView* m_pFileModules = nullptr;
    QListView* m_pPlugged = nullptr;
    QStandardItemModel* m_pFileModel = nullptr;
    QStandardItemModel* m_pPluggedModel = nullptr;
    QTableView* m_pParameters = nullptr;
    CParameterTableModel* m_pParameterModel = nullptr;
    QTableView* m_pCfgView = nullptr;
    QTableView* m_pPrmView = nullptr;
    CByteGridModel* m_pCfgModel = nullptr;
    CByteGridModel* m_pPrmModel = nullptr;
    QTableView* m_pLimits = nullptr;
    QStandardItemModel* m_pLimitModel = nullptr;
    QLabel* m_pSummary = nullptr;
    QLabel* m_pCfgLabel = nullptr;
    QLabel* m_pPrmLabel = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pRemove = nullptr;
    QPushButton* m_pUp = nullptr;
    QPushButton* m_pDown = nullptr;
    QPushButton* m_pDefaults = nullptr;
    QPushButton* m_pExport = nullptr;
    bool m_bFilling = false;
};
