# Lays out the application folder beside the program.
# Data files (lists, key, pages, sample folder) are copied only where missing,
# so a rebuild never overwrites the user's favourites, history or cache.
# The Flash runtime is copied when it changed.
file(GLOB_RECURSE data_files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(rel IN LISTS data_files)
    get_filename_component(name ${rel} NAME)
    if(name STREQUAL ".keep")
        get_filename_component(dir ${rel} DIRECTORY)
        file(MAKE_DIRECTORY ${DEST}/${dir})
    elseif(NOT EXISTS ${DEST}/${rel})
        get_filename_component(dir ${rel} DIRECTORY)
        file(MAKE_DIRECTORY ${DEST}/${dir})
        file(COPY_FILE ${SOURCE}/${rel} ${DEST}/${rel})
    endif()
endforeach()

if(EXISTS ${RUFFLE})
    file(GLOB ruffle_files RELATIVE ${RUFFLE} ${RUFFLE}/*.js ${RUFFLE}/*.wasm ${RUFFLE}/*.map)
    file(MAKE_DIRECTORY ${DEST}/ruffle)
    foreach(rel IN LISTS ruffle_files)
        file(COPY_FILE ${RUFFLE}/${rel} ${DEST}/ruffle/${rel} ONLY_IF_DIFFERENT)
    endforeach()
else()
    message(WARNING "Ruffle is not installed (npm ci); the Flash player will stay empty")
endif()
