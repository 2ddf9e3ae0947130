#pragma once

// Hint bubbles in the languages of the hint file: which key's text goes to which controls, and the
// reference placeholder that names the reference a per-row control belongs to.

#include <QString>
#include <QStringList>

#include <array>

class QWidget;

namespace ui {

class FormView;

// One control (count 0) or the controls of a pattern, '#' standing for 1 to count.
struct HintTarget
{
    const char* name = nullptr;
    int count = 0;
};

struct HintEntry
{
    const char* key;
    std::array<HintTarget, 3> targets;
};

inline constexpr int kHintKeys = 128;
// The keys in the order they are applied.
extern const std::array<HintEntry, kHintKeys> kHintTable;

// The Settings tab's boxes that take over the hint of their reference-1 counterpart.
struct HintCopy
{
    const char* to;
    const char* from;
};
extern const std::array<HintCopy, 4> kHintCopies;

// Where the placeholder of a control's hint stands; below 1 when there is none to fill. Kept apart
// from the "tag" the channel boxes carry their reference in.
inline constexpr const char* kHintTagProperty = "hintTag";

// The languages of the hint file, in file order (empty when the file is missing).
QStringList hintLanguages(const QString& hintFile);

// Gives every key of the table its text of that language; a key without text keeps its hints.
// Copies the Settings tab's hints and fills the placeholder of cmbAct1 with reference 0.
void applyHintLanguage(const FormView& view, const QString& hintFile, const QString& language, int productMode);

// Puts the reference's digit (desk mode) or furniture letter at the placeholder of the control's hint.
void fillHintPlaceholder(QWidget* control, int reference, int productMode);

} // namespace ui
