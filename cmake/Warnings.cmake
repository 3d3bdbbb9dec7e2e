# Warnings every target of the project is built with.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
