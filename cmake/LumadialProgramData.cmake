# lumadial_depends_on_program_data(target)
# Makes the target wait for everything the program loads from its own folder: the texts, the
# skin, the resources, the .ran files, the sounds and the help. Those targets come from folders
# configured in any order, so the dependencies are added once the whole project is configured.
function(lumadial_depends_on_program_data target)
  # A deferred call expands its arguments only when it runs: bake the name in now.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL _lumadial_add_program_data [[${target}]])")
endfunction()

function(_lumadial_add_program_data target)
  foreach(data lumadial_language_english skin_data resource_data delivered_ran_files
               delivered_sounds help_pages)
    if(TARGET ${data})
      add_dependencies(${target} ${data})
    endif()
  endforeach()
endfunction()
