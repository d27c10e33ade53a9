// Main's controls and the services after the editor's start-up, on the recording fakes.
#pragma once

#include "editor/core/startup.hpp"
#include "fake_editor.hpp"

namespace testing_support {

struct LoadedMain {
    FakeControls controls;
    FakeServices services;
    int shows = 0;  // how often start-up showed the window
    void load() {
        editor::loadMain(controls, services, [this] { ++shows; });
    }
};

}  // namespace testing_support
