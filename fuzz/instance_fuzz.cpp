// The records other processes send: any bytes are read or refused, never a
// crash, and what is read writes back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/instance/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  instance::Request request;
  if (instance::DecodeRequest(data, size, &request)) {
    std::vector<uint8_t> again = instance::EncodeRequest(request);
    if (again != std::vector<uint8_t>(data, data + size)) std::abort();
    instance::CarriesOnlyNumbers(request.message, static_cast<WPARAM>(request.wParam),
                                 static_cast<LPARAM>(request.lParam));
  }
  instance::Reply reply;
  if (instance::DecodeReply(data, size, &reply) &&
      instance::EncodeReply(reply) != std::vector<uint8_t>(data, data + size))
    std::abort();
  return 0;
}
