#include "model/ClassCharSheet.h"

namespace ff {

// Placeholder until the field-update engine exists: it replaces this definition with the one
// that runs EventOnLoad through the script host. Loading outside design mode already calls it.
void TCharacterSheet::RunOnLoadEvent() {}

} // namespace ff
