#pragma once
// The key editor form below the text view: renders the shared key form record
// (help text and the editor of the selected key's form mode), writes edited
// values back into the entry and its text on Apply and checks the key at once.
// For a Module key it lists the identifiers of the configuration data and
// edits them one at a time.

#include <QWidget>
#include <functional>
#include <map>

#include "check/identifier_codec.h"
#include "views/gsd_view_host.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// Control ids of the form, as the key form's modes name them.
enum EInputControl {
    IDC_STRING_EDIT = 1000,
    IDC_UINT_EDIT = 1001,
    IDC_CHOICE_1 = 1002,
    IDC_CHOICE_2 = 1003,
    IDC_CHOICE_3 = 1004,
    IDC_STRING_LABEL = 1005,
    IDC_UINT_LABEL = 1006,
    IDC_CHOICE_LABEL = 1007,
    IDC_FRAME = 1008,
    IDC_HELP = 1009,
    IDC_ICON = 1010,
    IDC_SEPARATOR = 1011,
    IDC_BOOL_LABEL = 1012,
    IDC_BOOL_CHECK = 1013,
    IDC_VALUE_LIST = 1017,
    IDC_THIRD_LABEL = 1018,
    IDC_SECOND_LABEL = 1019,
    IDC_FIRST_LABEL = 1020,
    IDC_THIRD_EDIT = 1021,
    IDC_SECOND_EDIT = 1022,
    IDC_FIRST_EDIT = 1023,
    IDC_DATA_TYPE = 1024,
    IDC_DATA_TYPE_LABEL = 1025,
    IDC_APPLY = 1035,
};

struct CKeyFormRecord;

// The modes of the key form, as the key processing sets them into the form
// record (`CKeyFormRecord::m_nFormMode`).
enum class EFormMode {
    Information = 0,      // help text and icon only
    Text = 1,             // a string
    Number = 2,           // an unsigned number
    ThreeChoices = 3,     // one of three
    TwoChoices = 4,       // one of two
    Flag = 5,             // a check box
    Module = 6,           // name, configuration data and its identifiers
    BlockEnd = 7,         // the end of a block: nothing to edit
    BitParameter = 8,     // Bit or BitArea: bit(s), default, allowed values, type
    NumberParameter = 9,  // a number type: default, allowed values, type
    Area = 10,            // two numbers (first and last bit)
    Reference = 11,       // a reference number and its name
};

class CInputView : public QWidget {
    Q_OBJECT
public:
    explicit CInputView(IGsdViewHost& host, QWidget* parent = nullptr);

    // Renders the key form record (the view update).
    void OnUpdate();
    // Apply: writes the edited values into the current entry and its text and
    // checks the key.
    void ApplyKeyForm();
    // The data-type list's selection changed: the form becomes that of the new
    // type (Bit and BitArea with three boxes, the others with two). Values that
    // pass the check of the new type stay, others give way to the type's whole
    // range; back at the key's own type its own values return. Apply then
    // writes a line of the new type.
    void DataTypeChanged();

    QWidget* Control(int id) const;
    // Whether a control is shown by the last render (independent of the form's own visibility).
    bool IsShown(int id) const;

    QPlainTextEdit* StringEdit() const { return m_pString; }
    QLineEdit* UintEdit() const { return m_pUint; }
    QRadioButton* Choice(int index) const { return m_pChoices[index]; }
    QCheckBox* BoolCheck() const { return m_pBool; }
    QLineEdit* FirstEdit() const { return m_pFirst; }
    QLineEdit* SecondEdit() const { return m_pSecond; }
    QLineEdit* ThirdEdit() const { return m_pThird; }
    QComboBox* DataTypeList() const { return m_pDataType; }
    QTreeWidget* ValueList() const { return m_pValueList; }
    QPushButton* ApplyButton() const { return m_pApply; }
    QPlainTextEdit* HelpPane() const { return m_pHelp; }

    // The identifiers the value list shows (from the configuration field).
    const std::vector<CIdentifier>& Identifiers() const { return m_Identifiers; }
    // Opens the identifier dialog for row `row`; OK writes the identifier back
    // into the configuration field.
    void EditIdentifier(int row);
    // Asks, and inserts a new identifier before row `row` (at the end when
    // `row` is the row count).
    void InsertIdentifier(int row);

    // Replace the dialogs (tests): the yes/no question, and the identifier
    // dialog (title, identifier in and out; true for OK).
    void SetQuestionHandler(std::function<bool(const QString&)> ask) { m_fnAsk = std::move(ask); }
    void SetIdentifierEditor(std::function<bool(const QString&, CIdentifier&)> edit) { m_fnEdit = std::move(edit); }

    // How the form shows and reads one mode: the controls it shows besides the
    // frame, help and separator, whether Apply is offered, and the members
    // that fill the controls from the record and read them back into it.
    struct SModeRow {
        EFormMode m_Mode;
        std::initializer_list<int> m_Controls;
        bool m_bApply;
        void (CInputView::*m_pRender)(const CKeyFormRecord& form);
        void (CInputView::*m_pRead)(CKeyFormRecord& form);
    };
    // The row of a mode; null for a mode the form does not know.
    static const SModeRow* ModeRow(int mode);

private:
    void Show(std::initializer_list<int> ids);
    void SetChoice(int index);
    void RenderText(const CKeyFormRecord& form);
    void RenderNumber(const CKeyFormRecord& form);
    void RenderThreeChoices(const CKeyFormRecord& form);
    void RenderTwoChoices(const CKeyFormRecord& form);
    void RenderFlag(const CKeyFormRecord& form);
    void RenderModule(const CKeyFormRecord& form);
    void RenderParameter(const CKeyFormRecord& form);
    void RenderArea(const CKeyFormRecord& form);
    void RenderReference(const CKeyFormRecord& form);
    void ReadText(CKeyFormRecord& form);
    void ReadNumber(CKeyFormRecord& form);
    void ReadThreeChoices(CKeyFormRecord& form);
    void ReadTwoChoices(CKeyFormRecord& form);
    void ReadFlag(CKeyFormRecord& form);
    void ReadModule(CKeyFormRecord& form);
    void ReadBitParameter(CKeyFormRecord& form);
    void ReadNumberParameter(CKeyFormRecord& form);
    void ReadArea(CKeyFormRecord& form);
    void ReadReference(CKeyFormRecord& form);
    void FillValueList();
    void OnValueListContextMenu(const QPoint& pos);

    IGsdViewHost& m_Host;
    std::map<int, QWidget*> m_Controls;
    QFrame* m_pFrame;
    QPlainTextEdit* m_pHelp;
    QLabel* m_pIcon;
    QFrame* m_pSeparator;
    QLabel* m_pStringLabel;
    QPlainTextEdit* m_pString;
    QLabel* m_pUintLabel;
    QLineEdit* m_pUint;
    QLabel* m_pChoiceLabel;
    QRadioButton* m_pChoices[3];
    QButtonGroup* m_pChoiceGroup;
    QLabel* m_pBoolLabel;
    QCheckBox* m_pBool;
    QLabel* m_pFirstLabel;
    QLineEdit* m_pFirst;
    QLabel* m_pSecondLabel;
    QLineEdit* m_pSecond;
    QLabel* m_pThirdLabel;
    QLineEdit* m_pThird;
    QLabel* m_pDataTypeLabel;
    QComboBox* m_pDataType;
    QTreeWidget* m_pValueList;
    QPushButton* m_pApply;
    std::vector<CIdentifier> m_Identifiers;
    bool m_bConfigValid = false;
    std::function<bool(const QString&)> m_fnAsk;
    std::function<bool(const QString&, CIdentifier&)> m_fnEdit;
};
