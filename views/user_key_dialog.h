#pragma once
// The dialog that describes a user-defined key (data type, range or length
// text, tree group) and the User Key command that registers the description
// in the user's profile and gives it to the entry at once.

#include <QDialog>
#include <QString>

#include "model/seams.h"
#include "model/taluna_context.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class CUserKeyDialog : public QDialog {
    Q_OBJECT
public:
    // `titleId` 0 means string 65104; `profile` gives the list of registered keys.
    CUserKeyDialog(const IProfileStore* profile, int titleId = 0, int dataType = 0, const QString& range = {},
                   int group = 0, QWidget* parent = nullptr);

    int DataType() const;
    int Group() const;
    QString Range() const;
    void SetDataType(int dataType);
    void SetGroup(int group);
    void SetRange(const QString& range);

    QLineEdit* RangeEdit() const { return m_pRange; }
    QLabel* RangeLabel() const { return m_pRangeLabel; }
    QPlainTextEdit* RegisteredKeys() const { return m_pRegistered; }
    QButtonGroup* DataTypeButtons() const { return m_pTypes; }
    QButtonGroup* GroupButtons() const { return m_pGroups; }

private:
    void UpdateRangeEnabled();

    QButtonGroup* m_pTypes;
    QButtonGroup* m_pGroups;
    QLabel* m_pRangeLabel;
    QLineEdit* m_pRange;
    QPlainTextEdit* m_pRegistered;
};

// The User Key command on `entry` (the current entry): runs the dialog preset
// from the entry and, on OK, registers the description under the upper-case
// keyword and updates the entry. True when a registration was written.
bool EditUserKey(CTalunaContext& context, CKeyEntry* entry, QWidget* parent = nullptr);
