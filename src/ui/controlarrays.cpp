#include "ui/controlarrays.h"

#include "ui/dialogs.h"
#include "ui/formview.h"

namespace ui {

const std::array<const char*, RefMemberCount> kReferencePatterns = {
    "lblRefRef#", "cmbAct#", "cmbInitPlug#", "lblSetRef#", "cmbStroke#", "cmbLower#", "cmbSpeed#",
    "cmbSpeedDown#", "cbxIgnUp#", "cbxIgnDw#", "lblSlsRef#", "cmbAcEnable#", "cmbActUp#", "cmbActDw#",
    "cmbEopUp#", "cmbEopDw#", "cmbEopRetUp#", "cmbEopRetDw#", "cmbSlsRetUp#", "cmbSlsRetDw#",
    "lblStopMaxRef#", "cmbSafeStrokeMax#", "cmbSafeStrokeMin#", "cmbSafeSpeedUp#", "cmbSafeSpeedDw#",
    "lblStopMinRef#", "cbxSafeMaxUp#", "cbxSafeMaxDw#", "cbxSafeMinUp#", "cbxSafeMinDw#", "cbxSafeSpeedMaxUp#",
    "cbxSafeSpeedMaxDw#", "cbxSafeSpeedMinUp#", "cbxSafeSpeedMinDw#", "cbxUnlockMax#", "cbxUnlockMin#",
    "cbxSafetyMem#", "lblVariRef#", "cbxImpUp#", "cbxImpDw#", "cbxImpMem#", "lblImpRef#", "cmbChan#", "lblRefCh#",
};

const std::array<const char*, AuxMemberCount> kAuxPatterns = {
    "cmbAuxTO#", "cmbAuxType#", "cmbAuxMax#", "lblAuxUnit#", "cbxAuxVar#",
    "cmbAuxMin#", "cmbAuxStep#", "cbxAuxCirUp#", "cbxAuxCirDw#", "cbxAuxCirStop#",
};

const std::array<const char*, MemMemberCount> kMemoryPatterns = {
    "cbxMem#Pos", "cbxMem#Mas", "cbxMem#Aux1", "cbxMem#Aux2", "cbxMem#Aux3", "cbxMem#Aux4", "cbxMem#Imp", "cbxMem#Lock",
};

QString resolvePattern(const QString& pattern, int index)
{
    QString name = pattern;
    return name.replace(u'#', QString::number(index + 1));
}

QWidget* lookupControl(const FormView& view, const QString& pattern, int index)
{
    const QString name = resolvePattern(pattern, index);
    QWidget* control = view.control(name);
    if (!control)
        dialogs().information(view.dialogParent(), name + QStringLiteral(" not found!"));
    return control;
}

void ControlArrays::resolve(const FormView& view)
{
    for (int i = 0; i < kReferenceRecords; ++i) {
        for (int m = 0; m < RefMemberCount; ++m)
            refs[std::size_t(i)][std::size_t(m)] = lookupControl(view, QString::fromLatin1(kReferencePatterns[std::size_t(m)]), i);
        for (int m = 0; m < AuxMemberCount; ++m)
            aux[std::size_t(i)][std::size_t(m)] = lookupControl(view, QString::fromLatin1(kAuxPatterns[std::size_t(m)]), i);
    }
    for (int slot = 0; slot < 6; ++slot)
        for (int m = 0; m < MemMemberCount; ++m)
            mem[std::size_t(slot)][std::size_t(m)] = lookupControl(view, QString::fromLatin1(kMemoryPatterns[std::size_t(m)]), slot);
    // The reset drive: massage and the four aux outputs only.
    const char* const down[] = {"cbxResDrvDownMas", "cbxResDrvDownAux1", "cbxResDrvDownAux2", "cbxResDrvDownAux3", "cbxResDrvDownAux4"};
    const char* const up[] = {"cbxResDrvUpMas", "cbxResDrvUpAux1", "cbxResDrvUpAux2", "cbxResDrvUpAux3", "cbxResDrvUpAux4"};
    for (int m = 0; m < 5; ++m) {
        mem[6][std::size_t(memMas + m)] = lookupControl(view, QString::fromLatin1(down[m]), 0);
        mem[7][std::size_t(memMas + m)] = lookupControl(view, QString::fromLatin1(up[m]), 0);
    }
    mem[6][memPos] = mem[6][memImp] = mem[6][memLock] = nullptr;
    mem[7][memPos] = mem[7][memImp] = mem[7][memLock] = nullptr;
}

} // namespace ui
