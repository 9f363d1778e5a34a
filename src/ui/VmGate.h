// The one door through which every change of the document passes: busy on, the
// change, the comparison of the competition's saved form before and after, the undo
// step, the redraw, the messages it raised, the modified flag, the recovery copy and
// the live site, busy off. The main window is the gate.
#pragma once

#include <QString>

#include <functional>

namespace vm {
class TWettkampf;
}

namespace vm::ui {

// What a step is for the recovery copy: an edit is copied within half a minute, an
// operation on the whole competition at once.
enum class TStepKind { Edit, Whole };

class TCommandGate {
public:
    virtual ~TCommandGate() = default;
    // Runs the change on the competition under the German label the user sees in
    // "Rückgängig: …"; answers whether it changed anything. Messages of the model raised
    // meanwhile are shown, in order, once it has finished. A change that throws leaves
    // the competition as it was before it and passes the exception on.
    virtual bool RunCommand(const QString& label, const std::function<void(TWettkampf&)>& change,
                            TStepKind kind = TStepKind::Edit) = 0;
};

} // namespace vm::ui
