// SPDX-License-Identifier: MIT
#include "scene/message_records.h"

#include "scene/nova_base_list.h"

namespace nova {

TMessageRecords& TNovaBaseList::MessageRecords() {
  if (!message_records_)
    message_records_ = std::make_shared<TMessageRecords>();
  return *message_records_;
}

} // namespace nova
