# KAVREL_SANITIZE: every target of ours, and the tests' runs of our programs, under
# AddressSanitizer and UndefinedBehaviorSanitizer. A finding ends the program with an error, so
# the test that met it fails.
if(KAVREL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    add_compile_definitions(KAVREL_SANITIZE)  # for the rare place that tells the sanitizers more
endif()
