// The client's compiled-in resources (icons, cursors, the toolbar image) live in
// a static library, so they are registered explicitly before first use. Any thread
// before the first window; idempotent.
#pragma once

namespace vantelsor::ui {

void EnsureResources();

}  // namespace vantelsor::ui
