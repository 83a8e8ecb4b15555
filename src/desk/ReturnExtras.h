#pragma once
// Under the return's form when the shop charges the days out: what an administrator lets off the
// charge (减免) and a damage amount (赔偿), each with its reason, the damage from the deposit or in
// cash. The return reads them only after its own checks have passed.
#include <QGroupBox>
#include <QString>

class QLineEdit;
class QRadioButton;

class ReturnExtras : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int kReasonBytes = 60;

    // What the clerk entered, in fen.
    struct Entered {
        qint64 waivedFen = 0;
        QString waiverReason;
        qint64 damageFen = 0;
        QString damageReason;
        bool damageFromDeposit = true;
    };

    explicit ReturnExtras(QWidget* parent);
    // Only an administrator may waive: the waiver's fields are closed to anyone else.
    void AllowWaiver(bool allowed);
    // Reads the fields with the standard prompts; false (the focus on the field) when one is no
    // amount or too long a reason.
    bool Read(Entered* entered);
    // The same without a prompt, for the line that shows the figures while they are typed; what
    // does not read counts as nothing.
    Entered Peek() const;
    // A refusal of what was entered, for a charge of this size, with the field it is about; empty
    // when there is none.
    QString Refusal(const Entered& entered, qint64 chargeFen, bool monthly, bool administrator,
                    QWidget** field) const;

    QLineEdit* waiver;
    QLineEdit* waiverReason;
    QLineEdit* damage;
    QLineEdit* damageReason;
    QRadioButton* fromDeposit;
    QRadioButton* inCash;

signals:
    void Edited();
};
