// The one door through which every change of the document passes: busy on, the
// change, the messages it raised, the modified flag, the redraw, busy off. The main
// window is the gate; dialogs that apply changes while they are open get it handed in.
#pragma once

#include <functional>

namespace vm::ui {

class TCommandGate {
public:
    virtual ~TCommandGate() = default;
    // Runs the change; it answers whether it changed the document. Messages of the
    // model raised meanwhile are shown, in order, once it has finished.
    virtual bool RunCommand(const std::function<bool()>& change) = 0;
};

} // namespace vm::ui
