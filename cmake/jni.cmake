# OpenJDK's jni.h. Its machine-dependent half differs: the host uses the JDK's Linux
# jni_md.h, the Windows builds the project's own, found first on the include path.
if(NOT TARVIX_JDK_HOME)
  find_program(TARVIX_JAVAC javac REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  get_filename_component(javac_real "${TARVIX_JAVAC}" REALPATH)
  get_filename_component(javac_bin "${javac_real}" DIRECTORY)
  get_filename_component(TARVIX_JDK_HOME "${javac_bin}" DIRECTORY)
endif()
set(TARVIX_JDK_HOME "${TARVIX_JDK_HOME}" CACHE PATH "JDK whose jni.h the library is built against")
if(NOT EXISTS "${TARVIX_JDK_HOME}/include/jni.h")
  message(FATAL_ERROR "No jni.h under ${TARVIX_JDK_HOME}/include")
endif()

if(WIN32)
  set(TARVIX_JNI_INCLUDE_DIRS "${PROJECT_SOURCE_DIR}/cmake/jni-windows" "${TARVIX_JDK_HOME}/include")
else()
  set(TARVIX_JNI_INCLUDE_DIRS "${TARVIX_JDK_HOME}/include" "${TARVIX_JDK_HOME}/include/linux")
endif()
