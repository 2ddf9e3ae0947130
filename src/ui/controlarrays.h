#pragma once

// Per-reference, per-aux-output and per-memory-slot lists of main window controls, resolved once at
// start-up from name patterns in which '#' stands for the index counted from 1.

#include <QString>
#include <QWidget>

#include <array>

namespace ui {

class FormView;

// Members of a reference record, in order.
enum RefMember {
    lblRefRef, cmbAct, cmbInitPlug, lblSetRef, cmbStroke, cmbLower, cmbSpeed, cmbSpeedDown, cbxIgnUp, cbxIgnDw,
    lblSlsRef, cmbAcEnable, cmbActUp, cmbActDw, cmbEopUp, cmbEopDw, cmbEopRetUp, cmbEopRetDw, cmbSlsRetUp,
    cmbSlsRetDw, lblStopMaxRef, cmbSafeStrokeMax, cmbSafeStrokeMin, cmbSafeSpeedUp, cmbSafeSpeedDw,
    lblStopMinRef, cbxSafeMaxUp, cbxSafeMaxDw, cbxSafeMinUp, cbxSafeMinDw, cbxSafeSpeedMaxUp, cbxSafeSpeedMaxDw,
    cbxSafeSpeedMinUp, cbxSafeSpeedMinDw, cbxUnlockMax, cbxUnlockMin, cbxSafetyMem, lblVariRef, cbxImpUp,
    cbxImpDw, cbxImpMem, lblImpRef, cmbChan, lblRefCh,
    RefMemberCount
};

enum AuxMember {
    cmbAuxTO, cmbAuxType, cmbAuxMax, lblAuxUnit, cbxAuxVar, cmbAuxMin, cmbAuxStep, cbxAuxCirUp, cbxAuxCirDw,
    cbxAuxCirStop,
    AuxMemberCount
};

enum MemMember { memPos, memMas, memAux1, memAux2, memAux3, memAux4, memImp, memLock, MemMemberCount };

inline constexpr int kReferenceRecords = 4;
inline constexpr int kAuxRecords = 4;
inline constexpr int kMemoryRecords = 8;

extern const std::array<const char*, RefMemberCount> kReferencePatterns;
extern const std::array<const char*, AuxMemberCount> kAuxPatterns;
extern const std::array<const char*, MemMemberCount> kMemoryPatterns;

// The pattern with every '#' replaced by index + 1.
QString resolvePattern(const QString& pattern, int index);

// Looks the resolved name up in the window; when there is none, shows "<name> not found!" and gives null.
QWidget* lookupControl(const FormView& view, const QString& pattern, int index);

struct ControlArrays
{
    std::array<std::array<QWidget*, RefMemberCount>, kReferenceRecords> refs{};
    std::array<std::array<QWidget*, AuxMemberCount>, kAuxRecords> aux{};
    std::array<std::array<QWidget*, MemMemberCount>, kMemoryRecords> mem{};

    // References 1 to 4 (the 44 reference and 10 aux members of each index), memory slots 1 to 6,
    // then the reset-drive records 7 (down) and 8 (up) from their check boxes.
    void resolve(const FormView& view);

    template <typename T>
    T* ref(int reference, RefMember member) const
    {
        return qobject_cast<T*>(refs[std::size_t(reference)][member]);
    }
};

} // namespace ui
