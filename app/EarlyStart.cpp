#include "app/EarlyStart.h"

#include "app/WindowPictures.h"
#include "platform/FontConfiguration.h"

namespace tolvane {

EarlyStart::EarlyStart()
    : m_worker([] {
          loadFontConfiguration();
          readWindowPicturesAhead();
      }) {}

EarlyStart::~EarlyStart() {
    m_worker.join();
}

}  // namespace tolvane
