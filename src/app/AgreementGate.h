#pragma once

class QCheckBox;
class QPushButton;

namespace app {

// A pane's Continue button follows its agreement box; the greyed third state
// changes nothing.
void gateOnAgreement(const QCheckBox *agreement, QPushButton *go);

} // namespace app
