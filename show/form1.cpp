#include "show/form1.h"

namespace slidesaver {

void RunShowForm(platform::Platform&, AppState&) {
  // The show form is not built yet: /S ends after the extraction.
}

}  // namespace slidesaver
