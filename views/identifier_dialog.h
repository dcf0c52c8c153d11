#pragma once
// The identifier dialog of the key editor's identifier list: one identifier of
// a module's configuration data with its format, data direction, consistency,
// lengths and manufacturer-specific bytes.

#include <QDialog>
#include <QString>

#include "check/identifier_codec.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

class CIdentifierDialog : public QDialog {
    Q_OBJECT
public:
    // An empty title gives string 65103 "Change value settings...".
    explicit CIdentifierDialog(const QString& title = {}, QWidget* parent = nullptr);

    // Fills the controls from `identifier`.
    void SetIdentifier(const CIdentifier& identifier);
    // The identifier the controls describe; `error` gets why it cannot be
    // encoded (empty when it can). Controls the user did not touch keep the
    // identifier's own values (each direction's consistency, for one).
    CIdentifier Identifier(QString* error = nullptr) const;

    QButtonGroup* FormatButtons() const { return m_pFormat; }
    QButtonGroup* IoButtons() const { return m_pIo; }
    QButtonGroup* ConsistenceButtons() const { return m_pUnit; }
    QCheckBox* WholeLengthBox() const { return m_pWhole; }
    QLineEdit* InputLengthEdit() const { return m_pInput; }
    QLineEdit* OutputLengthEdit() const { return m_pOutput; }
    QLineEdit* VendorEdit() const { return m_pVendor; }
    QLabel* ErrorLabel() const { return m_pError; }

    void accept() override;

private:
    void UpdateEnabled();

    CIdentifier m_Original;
    bool m_bUnitTouched = false;
    QButtonGroup* m_pFormat;
    QButtonGroup* m_pIo;
    QButtonGroup* m_pUnit;
    QCheckBox* m_pWhole;
    QLineEdit* m_pInput;
    QLineEdit* m_pOutput;
    QLineEdit* m_pVendor;
    QLabel* m_pError;
};
