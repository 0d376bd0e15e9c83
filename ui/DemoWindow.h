#pragma once

#include "app/Form.h"

#include <QTimer>

#include <cstdint>

namespace velmora {

// Demoform: the maker's logo, shown once at start in a small borderless black window that hides
// itself when its animation is over.
class DemoWindow : public Form {
public:
    explicit DemoWindow(Game& game);

    void Form_Load() override;
    void Timer1_Timer();

    QTimer* Timer1;
    std::int16_t DemoStep = 0;

    static constexpr int kLastStep = 23;
};

} // namespace velmora
