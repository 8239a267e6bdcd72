# zel_add_version_resource(<shared code target> <module target>)
# Gives a Windows plug-in module its version resource (company, description,
# product, file and product version), taken from the juce_add_plugin settings
# of the shared code target. JUCE 7.0.5 adds one to Standalone apps only.
function(zel_add_version_resource shared_target module_target)
    get_target_property(ZEL_RC_COMPANY ${shared_target} JUCE_COMPANY_NAME)
    get_target_property(ZEL_RC_PRODUCT ${shared_target} JUCE_PRODUCT_NAME)
    get_target_property(ZEL_RC_VERSION ${shared_target} JUCE_VERSION)

    # "1.2.3" -> "1,2,3,0": the numeric form has four parts.
    string(REGEX MATCHALL "[0-9]+" numbers "${ZEL_RC_VERSION}")
    list(APPEND numbers 0 0 0 0)
    list(SUBLIST numbers 0 4 numbers)
    string(JOIN "," ZEL_RC_VERSION_NUMBERS ${numbers})

    set(rc_file "${CMAKE_CURRENT_BINARY_DIR}/${module_target}_VersionInfo.rc")
    configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/VersionInfo.rc.in" "${rc_file}" @ONLY)
    target_sources(${module_target} PRIVATE "${rc_file}")
endfunction()
