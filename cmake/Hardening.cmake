# The hardening Debian builds its packages with (dpkg-buildflags): fortified
# C library calls, a stack protector, format strings checked, position-
# independent programs, and relocations made read-only at start.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
  # Fortification needs an optimiser; a debug build would only warn.
  "$<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>")
add_link_options(-Wl,-z,relro,-z,now)
