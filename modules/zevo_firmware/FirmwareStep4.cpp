// TEMPORARY: stands in for the firmware step until the catalogue work lands
// and replaces this file. It does nothing.
#include "FirmwareUpgradeComponent.h"

void zevo::FirmwareUpgradeComponent::doStep4() {}
