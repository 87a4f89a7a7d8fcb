// Binds the error-text class to the stand-in opened last, so that its fault
// switch can make HostErrorTexts::Text fail.
#pragma once

#include <memory>

namespace host::sqlite {

class Core;
void SetErrorTextsHost(const std::shared_ptr<Core>& core);

}  // namespace host::sqlite
