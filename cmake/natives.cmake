# The natives the library exports, as Class:method:bytes of arguments on 32-bit Windows
# (8 for the environment and the class or object, 4 more per Java argument).
# The export definitions and the DLL checks are both made from this one list.
set(TARVIX_NATIVES
  Tarvix:getVersion:8
  Tarvix:Init:8
  Tarvix:Uninit:8
  Tarvix:getMBManufacturer:8
  Tarvix:getMBProduct:8
  Tarvix:getMBVersion:8
  Tarvix:getMBSerialNumber:8
  Tarvix:getBIOSLanguage:8
  Tarvix:getBIOSVersion:8
  Tarvix:getSMBIOSVersion:8
  Tarvix:getCSManufacturer:8
  Tarvix:getCSModel:8
  Tarvix:getHadrwareId:8
  MiscUtils:createRootFile:8
  MiscUtils:getJreVersionInfo:12
)

# Writes the module-definition file that gives a Windows DLL exactly these exports:
# on 32-bit, the decorated stdcall names with their leading underscore, which is what a
# 32-bit JVM looks up (mingw-w64 alone would export Name@8); on 64-bit, the plain names.
function(tarvix_write_exports def_file names_file)
  set(def "LIBRARY Tarvix.dll\nEXPORTS\n")
  set(names "")
  foreach(native IN LISTS TARVIX_NATIVES)
    string(REPLACE ":" ";" parts "${native}")
    list(GET parts 0 class)
    list(GET parts 1 method)
    list(GET parts 2 bytes)
    set(symbol "Java_com_velk_utils_${class}_${method}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND def "  _${symbol}@${bytes} = ${symbol}@${bytes}\n")
      string(APPEND names "_${symbol}@${bytes} ${bytes}\n")
    else()
      string(APPEND def "  ${symbol}\n")
      string(APPEND names "${symbol} 0\n")
    endif()
  endforeach()
  file(WRITE "${def_file}" "${def}")
  file(WRITE "${names_file}" "${names}")
endfunction()
