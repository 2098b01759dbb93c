# The channel base classes and the plug-in loader, compiled into drovik.dll.
set(ENGINE_CHANNEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ShowDebugMessage-win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DllInterface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Zel_List.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Zel_Channel-win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluginHost-win32.cpp)
