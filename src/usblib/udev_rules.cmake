# 70-ql260.rules: the logged-in user may reach the listed instruments (the uaccess tag, which
# must be set before the rules numbered 73 act on it). Installed where udev reads rules under the
# prefix: /usr/lib/udev/rules.d for /usr, /usr/local/lib/udev/rules.d for /usr/local.
set(FENDAL_UDEV_RULES_DIR "lib/udev/rules.d" CACHE PATH "Folder of the instrument's udev rule, relative to the prefix")

set(QL260_UDEV_RULES "")
string(REPLACE "," ";" entries "${QL260_BUILTIN_USB_IDS}")
foreach(entry IN LISTS entries)
  string(STRIP "${entry}" entry)
  if(entry STREQUAL "")
    continue()
  endif()
  if(NOT entry MATCHES "^([0-9a-fA-F][0-9a-fA-F]?[0-9a-fA-F]?[0-9a-fA-F]?):([0-9a-fA-F][0-9a-fA-F]?[0-9a-fA-F]?[0-9a-fA-F]?)([ \t]|$)")
    message(FATAL_ERROR "QL260_BUILTIN_USB_IDS: \"${entry}\" is not a vendor:product id (hexadecimal, e.g. 1209:0260)")
  endif()
  set(part1 "${CMAKE_MATCH_1}")
  set(part2 "${CMAKE_MATCH_2}")
  # udev compares the sysfs texts: four lower-case hexadecimal digits.
  foreach(part 1 2)
    string(TOLOWER "000${part${part}}" digits)
    string(LENGTH "${digits}" n)
    math(EXPR start "${n} - 4")
    string(SUBSTRING "${digits}" ${start} 4 id${part})
  endforeach()
  string(APPEND QL260_UDEV_RULES
    "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"${id1}\", ATTR{idProduct}==\"${id2}\", TAG+=\"uaccess\"\n")
endforeach()
configure_file(70-ql260.rules.in ${CMAKE_CURRENT_BINARY_DIR}/70-ql260.rules @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/70-ql260.rules DESTINATION ${FENDAL_UDEV_RULES_DIR})
