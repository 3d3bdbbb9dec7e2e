# Sanitizer builds. TVN_SANITIZE=ON (or address) builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer (CI's main run);
# TVN_SANITIZE=thread builds with ThreadSanitizer (CI's run of the threaded tests).
string(TOLOWER "${TVN_SANITIZE}" tvn_sanitize)
if(tvn_sanitize STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(tvn_sanitize STREQUAL "address" OR TVN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
